// Saving and loading an attractor's parameters as "name=value" text.
#include "attractor/parameter_file.h"

#include "attractor/attractor.h"
#include "attractor/catalogue.h"
#include "attractor/text_codec.h"

#include <fstream>
#include <sys/stat.h>

namespace vorticel {
namespace {

// Lines longer than this end the load, as a fixed 200-byte line buffer would.
constexpr std::streamsize kLineBuffer = 200;

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
    WriteFileReplacing(fileName, EncodeParameterFile(*this));
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
