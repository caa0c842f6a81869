// Saving and loading an attractor's parameters as "name=value" text.
#include "attractor/parameter_file.h"

#include "attractor/attractor.h"
#include "attractor/catalogue.h"
#include "attractor/text_codec.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace vorticel {
namespace {

// Lines longer than this end the load, as a fixed 200-byte line buffer would.
constexpr std::streamsize kLineBuffer = 200;

std::string DirectoryOf(const std::string& fileName) {
    const std::size_t slash = fileName.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : fileName.substr(0, slash);
}

// Permissions for a new file: those of the file it replaces, else the umask's default.
mode_t ModeFor(const std::string& fileName) {
    struct stat existing {};
    if (stat(fileName.c_str(), &existing) == 0) {
        return existing.st_mode & 07777;
    }
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::string DescribeError(FileError::Kind kind, const std::string& fileName) {
    return (kind == FileError::Kind::Create ? "cannot create file " : "cannot open file ") +
           fileName;
}

// A readable stream on `fileName`; a missing file or a folder is reported.
std::ifstream OpenForReading(const std::string& fileName) {
    struct stat info {};
    std::ifstream in;
    if (stat(fileName.c_str(), &info) == 0 && !S_ISDIR(info.st_mode)) {
        in.open(fileName, std::ios::binary);
    }
    if (!in.is_open()) {
        throw FileError(FileError::Kind::Open, fileName);
    }
    return in;
}

} // namespace

FileError::FileError(Kind kind, std::string fileName)
    : std::runtime_error(DescribeError(kind, fileName)), kind_(kind),
      fileName_(std::move(fileName)) {}

std::vector<std::string> Attractor::ParameterLines() const {
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(parameters->count) + 1);
    lines.push_back("[" + displayName + "]");
    for (const ParameterEntry* e = parameters->Next(nullptr); e; e = parameters->Next(e)) {
        lines.push_back(ParameterList::FormatLine(*e));
    }
    return lines;
}

std::string EncodeParameterFile(const Attractor& attractor) {
    std::string text;
    for (const std::string& line : attractor.ParameterLines()) {
        text += Utf8ToCp1252(line);
        text += "\r\n";
    }
    return text;
}

void Attractor::SaveParameters(const std::string& fileName) const {
    const std::string contents = EncodeParameterFile(*this);
    // Write beside the target and rename over it, so a failed write never leaves a
    // half-written file where a good one stood.
    std::string temporary = DirectoryOf(fileName) + "/.vtc-XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) {
        throw FileError(FileError::Kind::Create, fileName);
    }
    const bool written = fchmod(fd, ModeFor(fileName)) == 0 && WriteAll(fd, contents);
    const bool closed = close(fd) == 0;
    if (!written || !closed || std::rename(temporary.c_str(), fileName.c_str()) != 0) {
        std::remove(temporary.c_str());
        throw FileError(FileError::Kind::Create, fileName);
    }
}

void Attractor::LoadParameters(const std::string& fileName) {
    std::ifstream in = OpenForReading(fileName);
    std::string header;
    std::getline(in, header); // the header is not compared with the family
    char line[kLineBuffer];
    while (in.getline(line, kLineBuffer)) {
        parameters->ParseLine(DecodeFileText(line));
    }
}

std::optional<int> ReadFamilyIndex(const std::string& fileName) {
    std::ifstream in = OpenForReading(fileName);
    std::string header;
    std::getline(in, header);
    return FamilyIndexFromHeader(DecodeFileText(header));
}

} // namespace vorticel
