// The error every file operation of the core reports: which file, what was being done, why.
#pragma once

#include <stdexcept>
#include <string>

namespace vorticel {

class FileError : public std::runtime_error {
public:
    // What was being done when it failed.
    enum class Kind { Create, Write, Open, Read };
    // Why, so a window can word it in its own language; what() words it in English.
    enum class Reason {
        System,         // the system refused: systemError() is the errno value
        Folder,         // a folder stands at the path
        Device,         // a device stands at the path
        Fifo,           // a named pipe stands at the path
        NotRegular,     // something else that is no regular file (a socket)
        ReadOnly,       // the file to replace has no write permission
        TooLarge,       // the file is larger than the reader takes
        LineTooLong,    // a line is longer than any line the program writes
        NoParameters,   // no line names a parameter of the attractor
        NotPng,         // the file is no PNG image, or a damaged one
        ImageTooLarge,  // the PNG declares more pixels than the program renders
        ChunkPastEnd,   // a PNG text chunk declares more bytes than the file has left
        TooManyTexts,   // a PNG holds more text chunks than the reader takes
        TextTooLarge,   // a PNG text is longer than the reader takes
        RecipeTooLarge, // the image's recipe is longer than any the program writes
        NoRecipe,       // the image holds no recipe of this program
        BadRecipe,      // the image's recipe breaks the rules of the recipe format
        Encoder,        // the image encoder refused the image
        OutOfRange,     // a line gives a parameter a value outside its bounds: see subject()
    };

    // A refusal of the system, worded by its errno value.
    FileError(Kind kind, std::string fileName, int systemError);
    // Any other reason; `detail` says it in English ("it is a folder").
    FileError(Kind kind, std::string fileName, Reason reason, const std::string& detail);

    Kind kind() const { return kind_; }
    Reason reason() const { return reason_; }
    int systemError() const { return systemError_; }
    const std::string& fileName() const { return fileName_; }
    // What the reason is about in the file's own words ("2 (Degré=100)": a line's number and
    // text); empty for most reasons.
    const std::string& subject() const { return subject_; }
    FileError& WithSubject(std::string subject) {
        subject_ = std::move(subject);
        return *this;
    }

private:
    Kind kind_;
    Reason reason_;
    int systemError_ = 0;
    std::string fileName_;
    std::string subject_;
};

// Throws the FileError that says what stands at `fileName` unless `mode` (st_mode) is that
// of a regular file.
void RequireRegularFile(FileError::Kind kind, const std::string& fileName, unsigned mode);

} // namespace vorticel
