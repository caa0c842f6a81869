// The French wording of the core's file errors.
#include "app/file_messages.h"

#include "app/text.h"
#include "io/file_error.h"

#include <cstring>

namespace vorticel {

QString FileErrorMessage(const FileError& error, const QString& fileName) {
    const bool writing =
        error.kind() == FileError::Kind::Create || error.kind() == FileError::Kind::Write;
    const QString first = Text(writing ? kStrCannotCreateFile : kStrCannotOpenFile, fileName);
    int reason = 0;
    switch (error.reason()) {
    case FileError::Reason::System:
        // The system's own words, in the user's language where the system has them.
        return first + QLatin1Char('\n') +
               QString::fromLocal8Bit(std::strerror(error.systemError()));
    case FileError::Reason::Folder:
        reason = kStrFileIsFolder;
        break;
    case FileError::Reason::Device:
        reason = kStrFileIsDevice;
        break;
    case FileError::Reason::Fifo:
        reason = kStrFileIsFifo;
        break;
    case FileError::Reason::NotRegular:
        reason = kStrFileNotRegular;
        break;
    case FileError::Reason::ReadOnly:
        reason = kStrFileReadOnly;
        break;
    case FileError::Reason::TooLarge:
        reason = kStrFileTooLarge;
        break;
    case FileError::Reason::LineTooLong:
        reason = kStrFileLineTooLong;
        break;
    case FileError::Reason::NoParameters:
        reason = kStrFileNoParameters;
        break;
    case FileError::Reason::NotPng:
        reason = kStrFileNotPng;
        break;
    case FileError::Reason::ImageTooLarge:
        reason = kStrFileImageTooLarge;
        break;
    case FileError::Reason::ChunkPastEnd:
        reason = kStrFileChunkPastEnd;
        break;
    case FileError::Reason::TooManyTexts:
        reason = kStrFileTooManyTexts;
        break;
    case FileError::Reason::TextTooLarge:
        reason = kStrFileTextTooLarge;
        break;
    case FileError::Reason::RecipeTooLarge:
        reason = kStrFileRecipeTooLarge;
        break;
    case FileError::Reason::NoRecipe:
        reason = kStrFileNoRecipe;
        break;
    case FileError::Reason::BadRecipe:
        reason = kStrFileBadRecipe;
        break;
    case FileError::Reason::Encoder:
        reason = kStrFileEncoder;
        break;
    case FileError::Reason::OutOfRange:
        reason = kStrFileValueOutOfRange;
        break;
    }
    return reason
               ? first + QLatin1Char('\n') + Text(reason, QString::fromStdString(error.subject()))
               : first;
}

} // namespace vorticel
