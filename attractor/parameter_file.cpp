// Saving and loading an attractor's parameters as "name=value" text.
#include "attractor/parameter_file.h"

#include "attractor/attractor.h"
#include "attractor/catalogue.h"
#include "attractor/text_codec.h"
#include "io/read_file.h"
#include "io/replace_file.h"

#include <cmath>

namespace vorticel {

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

ParameterFileText SplitParameterFile(std::string_view bytes) {
    ParameterFileText text;
    std::size_t number = 0;
    while (!bytes.empty()) {
        const std::size_t feed = bytes.find('\n');
        const std::string_view line = bytes.substr(0, feed);
        bytes.remove_prefix(feed == std::string_view::npos ? bytes.size() : feed + 1);
        if (++number == 1) {
            text.header = DecodeFileText(line);
        } else {
            text.lines.push_back(DecodeFileText(line));
        }
        if (line.size() > kMaxParameterLineLength && text.firstLongLine == 0) {
            text.firstLongLine = number;
        }
    }
    return text;
}

ParameterFileText ReadParameterFile(const std::string& fileName) {
    ParameterFileText text = SplitParameterFile(ReadRegularFile(fileName, kMaxParameterFileBytes));
    if (text.firstLongLine != 0) {
        throw FileError(FileError::Kind::Read, fileName, FileError::Reason::LineTooLong,
                        "line " + std::to_string(text.firstLongLine) + " is longer than " +
                            std::to_string(kMaxParameterLineLength) + " characters");
    }
    return text;
}

std::optional<OutOfRangeLine> FindOutOfRangeLine(const ParameterList& parameters,
                                                 const std::vector<std::string>& lines) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const ParameterList::LineValue line = parameters.ReadLine(lines[i]);
        const ParameterEntry* e = line.entry;
        const auto bounds = e ? ParameterList::BoundsOfInteger(*e) : std::nullopt;
        if (!bounds) {
            continue;
        }
        const auto [lo, hi] = *bounds;
        const double v = std::trunc(line.value);
        if (v < static_cast<double>(lo) || v > static_cast<double>(hi)) {
            std::string text = lines[i];
            if (!text.empty() && text.back() == '\r') {
                text.pop_back();
            }
            return OutOfRangeLine{i + 2, text, e->name, lo, hi};
        }
    }
    return std::nullopt;
}

std::size_t ApplyParameterLines(const ParameterList& parameters,
                                const std::vector<std::string>& lines) {
    std::size_t applied = 0;
    for (const std::string& line : lines) {
        applied += parameters.ParseLine(line) ? 1 : 0;
    }
    return applied;
}

void Attractor::SaveParameters(const std::string& fileName) const {
    WriteFileReplacing(fileName, EncodeParameterFile(*this));
}

void Attractor::LoadParameters(const std::string& fileName) {
    // Read whole first: a file that cannot be read changes nothing.
    const ParameterFileText text = ReadParameterFile(fileName);
    // A value outside an integer's bounds would wrap or make a map the palette cannot show;
    // the file is refused whole, before any line is applied.
    if (const auto line = FindOutOfRangeLine(*parameters, text.lines)) {
        const std::string where = std::to_string(line->number) + " (" + line->text + ")";
        throw FileError(FileError::Kind::Read, fileName, FileError::Reason::OutOfRange,
                        "line " + where + ": " + line->name + " takes a whole number from " +
                            std::to_string(line->minimum) + " to " + std::to_string(line->maximum))
            .WithSubject(where);
    }
    if (ApplyParameterLines(*parameters, text.lines) == 0) {
        throw FileError(FileError::Kind::Read, fileName, FileError::Reason::NoParameters,
                        "no parameter was read (no line names a parameter of " + displayName + ")");
    }
}

std::optional<int> ReadFamilyIndex(const std::string& fileName) {
    return FamilyIndexFromHeader(ReadParameterFile(fileName).header);
}

} // namespace vorticel
