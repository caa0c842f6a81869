// Registration, lookup, conversion and formatting of parameters.
#include "attractor/parameter_list.h"

#include "attractor/rng.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <locale.h>

namespace vorticel {
namespace {

constexpr double kTwo64 = 18446744073709551616.0;

// The low 64 bits of `v` truncated toward zero, as two's complement. Defined for any
// finite value (a plain cast is not once |v| reaches 2^63); 0 for NaN and infinities.
std::uint64_t LowBits(double v) {
    if (!std::isfinite(v)) {
        return 0;
    }
    const double t = std::trunc(v);
    const auto magnitude = static_cast<std::uint64_t>(std::fmod(std::fabs(t), kTwo64));
    return t < 0 ? (~magnitude + 1u) : magnitude;
}

template <class T> void Store(void* address, T v) {
    std::memcpy(address, &v, sizeof v);
}

template <class T> T Load(const void* address) {
    T v;
    std::memcpy(&v, address, sizeof v);
    return v;
}

// Bytes of a variable of registry type `type`; 0 for an unknown code.
std::size_t ValueSize(std::uint8_t type) {
    switch (type) {
    case kInt8:
    case kUInt8:
        return 1;
    case kInt16:
    case kUInt16:
        return 2;
    case kInt32:
    case kUInt32:
    case kFloat:
        return 4;
    case kDouble:
        return 8;
    default:
        return 0;
    }
}

bool IsKeyChar(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

template <class Int> std::string IntegerText(Int v) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, result.ptr);
}

// "%f": fixed point, six decimals, always with a point whatever the locale.
std::string FixedText(double v) {
    char buffer[400]; // the longest finite double in fixed notation needs 317 characters
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, 6);
    return std::string(buffer, result.ptr);
}

// A finite double beyond the float range becomes the largest float of its sign (a plain
// conversion is undefined there); infinities and NaN convert as they are.
float ToFloat(double v) {
    constexpr double kLargest = std::numeric_limits<float>::max();
    if (std::isfinite(v) && std::fabs(v) > kLargest) {
        return static_cast<float>(std::copysign(kLargest, v));
    }
    return static_cast<float>(v);
}

std::int32_t SaturatingInt32(double v) {
    if (!(v > std::numeric_limits<std::int32_t>::min())) {
        return std::isnan(v) ? 0 : std::numeric_limits<std::int32_t>::min();
    }
    if (v >= 2147483647.0) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(v);
}

} // namespace

ParameterEntry* ParameterList::Add(std::string_view name, std::uint8_t type, void* value,
                                   const void* minimum, const void* maximum) {
    ParameterEntry& entry = entries_.emplace_back();
    entry.type = type;
    entry.value = value;
    entry.minimum = minimum;
    entry.maximum = maximum;
    entry.name = std::string(name);
    if (last) {
        last->next = &entry;
    } else {
        first = &entry;
    }
    last = &entry;
    ++count;
    return &entry;
}

bool ParameterList::CopyValuesFrom(const ParameterList& other) const {
    if (count != other.count) {
        return false;
    }
    for (const ParameterEntry *a = first, *b = other.first; a && b; a = a->next, b = b->next) {
        if (a->type != b->type || a->name != b->name) {
            return false;
        }
    }
    // Byte for byte, so every value arrives exactly (no round trip through text or double).
    for (const ParameterEntry *a = first, *b = other.first; a && b; a = a->next, b = b->next) {
        std::memcpy(a->value, b->value, ValueSize(a->type));
    }
    return true;
}

ParameterEntry* ParameterList::Find(std::string_view key) const {
    if (key.empty()) {
        return nullptr;
    }
    for (ParameterEntry* e = first; e; e = e->next) {
        if (e->name == key) {
            return e;
        }
    }
    return nullptr;
}

long double ParameterList::ReadValue(std::uint8_t type, const void* address) {
    switch (type) {
    case kInt8:
        return Load<std::int8_t>(address);
    case kUInt8:
        return Load<std::uint8_t>(address);
    case kInt16:
        return Load<std::int16_t>(address);
    case kUInt16:
        return Load<std::uint16_t>(address);
    case kInt32:
        return Load<std::int32_t>(address);
    case kUInt32:
        return Load<std::uint32_t>(address);
    case kFloat:
        return Load<float>(address);
    case kDouble:
        return Load<double>(address);
    default:
        return 0.0L;
    }
}

void ParameterList::WriteValue(void* address, std::uint8_t type, double v) {
    switch (type) {
    case kInt8:
    case kUInt8:
        Store(address, static_cast<std::uint8_t>(LowBits(v)));
        break;
    case kInt16:
    case kUInt16:
        Store(address, static_cast<std::uint16_t>(LowBits(v)));
        break;
    case kInt32:
    case kUInt32:
        Store(address, static_cast<std::uint32_t>(LowBits(v)));
        break;
    case kFloat:
        Store(address, ToFloat(v));
        break;
    case kDouble:
        Store(address, v);
        break;
    default:
        break;
    }
}

std::string ParameterList::FormatLine(const ParameterEntry& entry) {
    const double v = static_cast<double>(ReadValue(entry.type, entry.value));
    std::string text = entry.name + "=";
    switch (entry.type) {
    case kInt8:
    case kInt16:
        text += IntegerText(static_cast<std::int16_t>(LowBits(v)));
        break;
    case kUInt8:
    case kUInt16:
        text += IntegerText(static_cast<std::uint16_t>(LowBits(v)));
        break;
    case kInt32:
        text += IntegerText(static_cast<std::int32_t>(static_cast<std::uint32_t>(LowBits(v))));
        break;
    case kUInt32:
        text += IntegerText(static_cast<std::uint32_t>(LowBits(v)));
        break;
    default:
        text += FixedText(v);
        break;
    }
    return text;
}

bool ParameterList::ParseLine(std::string_view text) const {
    const LineValue line = ReadLine(text);
    if (!line.entry) {
        return false;
    }
    WriteValue(line.entry->value, line.entry->type, line.value);
    return true;
}

ParameterList::LineValue ParameterList::ReadLine(std::string_view text) const {
    std::size_t asciiEnd = 0;
    while (asciiEnd < text.size() && IsKeyChar(text[asciiEnd])) {
        ++asciiEnd;
    }
    const ParameterEntry* entry = nullptr;
    // A registered name with letters beyond ASCII ("Degré") is matched as a whole; any
    // other key ends at the first byte that is not a plain letter, digit or underscore.
    if (asciiEnd < text.size() && static_cast<unsigned char>(text[asciiEnd]) >= 0x80) {
        std::size_t wideEnd = asciiEnd;
        while (wideEnd < text.size() &&
               (IsKeyChar(text[wideEnd]) || static_cast<unsigned char>(text[wideEnd]) >= 0x80)) {
            ++wideEnd;
        }
        entry = Find(text.substr(0, wideEnd));
    }
    if (!entry) {
        entry = Find(text.substr(0, asciiEnd));
    }
    if (!entry) {
        return {};
    }
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        return {};
    }
    double v = ParseDecimal(text.substr(equals + 1));
    // A number beyond the range of doubles keeps its sign as the largest double: infinity
    // would be saved as a text no load reads back.
    if (std::isinf(v)) {
        v = std::copysign(std::numeric_limits<double>::max(), v);
    }
    return {entry, v};
}

std::optional<ParameterList::IntegerBounds>
ParameterList::BoundsOfInteger(const ParameterEntry& entry) {
    if (entry.type == kFloat || entry.type == kDouble || ValueSize(entry.type) == 0) {
        return std::nullopt;
    }
    return IntegerBounds{static_cast<std::int64_t>(ReadValue(entry.type, entry.minimum)),
                         static_cast<std::int64_t>(ReadValue(entry.type, entry.maximum))};
}

void ParameterList::RandomizeEntry(const ParameterEntry& entry, std::int16_t digits) {
    const auto lo = static_cast<double>(ReadValue(entry.type, entry.minimum));
    const auto hi = static_cast<double>(ReadValue(entry.type, entry.maximum));
    const double range = hi - lo;
    double value = 0.0;
    if (range > 0 && digits > 0) {
        const double scale = std::pow(10.0, digits);
        const std::int32_t n = SaturatingInt32(range * scale);
        const std::int32_t k = n != 0 ? RandomNext() % n : 0;
        value = lo + k / scale;
    }
    WriteValue(entry.value, entry.type, value);
}

void ParameterList::RandomizeAll(std::int16_t digits) const {
    for (const ParameterEntry* e = Next(nullptr); e; e = Next(e)) {
        RandomizeEntry(*e, digits);
    }
}

double ParseDecimal(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsCSpace(text[i])) {
        ++i;
    }
    const std::size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) {
        return 0.0;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            ++j;
        }
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j])) {
                ++j;
            }
            i = j;
        }
    }
    // Only the validated decimal span reaches the C library, read in the "C" locale so a
    // French user's decimal comma never changes how a file is read.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
    const std::string number(text.substr(start, i - start));
    return strtod_l(number.c_str(), nullptr, cLocale);
}

} // namespace vorticel
