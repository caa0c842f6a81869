// Wording of file errors: "cannot create file NAME: why".
#include "io/file_error.h"

#include <sys/stat.h>
#include <system_error>

namespace vorticel {
namespace {

std::string Describe(FileError::Kind kind, const std::string& fileName, const std::string& why) {
    const char* verb = "cannot open file ";
    switch (kind) {
    case FileError::Kind::Create:
        verb = "cannot create file ";
        break;
    case FileError::Kind::Write:
        verb = "cannot write file ";
        break;
    case FileError::Kind::Open:
        break;
    case FileError::Kind::Read:
        verb = "cannot read file ";
        break;
    }
    return verb + fileName + ": " + why;
}

std::string SystemText(int error) {
    return error != 0 ? std::generic_category().message(error) : std::string("unknown error");
}

} // namespace

FileError::FileError(Kind kind, std::string fileName, int systemError)
    : std::runtime_error(Describe(kind, fileName, SystemText(systemError))), kind_(kind),
      reason_(Reason::System), systemError_(systemError), fileName_(std::move(fileName)) {}

FileError::FileError(Kind kind, std::string fileName, Reason reason, const std::string& detail)
    : std::runtime_error(Describe(kind, fileName, detail)), kind_(kind), reason_(reason),
      fileName_(std::move(fileName)) {}

void RequireRegularFile(FileError::Kind kind, const std::string& fileName, unsigned mode) {
    using Reason = FileError::Reason;
    switch (mode & S_IFMT) {
    case S_IFREG:
        return;
    case S_IFDIR:
        throw FileError(kind, fileName, Reason::Folder, "it is a folder");
    case S_IFCHR:
    case S_IFBLK:
        throw FileError(kind, fileName, Reason::Device, "it is a device, not a regular file");
    case S_IFIFO:
        throw FileError(kind, fileName, Reason::Fifo, "it is a named pipe, not a regular file");
    default:
        throw FileError(kind, fileName, Reason::NotRegular, "it is not a regular file");
    }
}

} // namespace vorticel
