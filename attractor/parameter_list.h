// The registry of an attractor's named, typed parameters.
//
// One description of the parameters serves the random draw, the parameter file
// and the palette's rows; none of them knows the family.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

namespace vorticel {

// Machine type of a registered variable and of its bounds.
enum TypeCode : std::uint8_t {
    kInt8 = 0,
    kUInt8 = 1,
    kInt16 = 2,
    kUInt16 = 3,
    kInt32 = 4,
    kUInt32 = 5,
    kFloat = 6,
    kDouble = 7,
};

template <class T> constexpr TypeCode TypeCodeOf() {
    if constexpr (std::is_same_v<T, std::int8_t>) {
        return kInt8;
    } else if constexpr (std::is_same_v<T, std::uint8_t>) {
        return kUInt8;
    } else if constexpr (std::is_same_v<T, std::int16_t>) {
        return kInt16;
    } else if constexpr (std::is_same_v<T, std::uint16_t>) {
        return kUInt16;
    } else if constexpr (std::is_same_v<T, std::int32_t>) {
        return kInt32;
    } else if constexpr (std::is_same_v<T, std::uint32_t>) {
        return kUInt32;
    } else if constexpr (std::is_same_v<T, float>) {
        return kFloat;
    } else {
        static_assert(std::is_same_v<T, double>, "no type code for this type");
        return kDouble;
    }
}

// One parameter. The entry points at the variable and its bounds; it owns only its name.
struct ParameterEntry {
    std::uint8_t type = kDouble;
    void* value = nullptr;
    const void* minimum = nullptr;
    const void* maximum = nullptr;
    std::string name; // UTF-8
    ParameterEntry* next = nullptr;
};

class ParameterList {
public:
    ParameterList() = default;
    ParameterList(const ParameterList&) = delete;
    ParameterList& operator=(const ParameterList&) = delete;

    // Appends an entry; duplicate names are allowed (lookups reach the first).
    ParameterEntry* Add(std::string_view name, std::uint8_t type, void* value, const void* minimum,
                        const void* maximum);

    // Typed registration: the type code follows from the variable, so the two cannot disagree.
    template <class T>
    ParameterEntry* Add(std::string_view name, T& value, const T& minimum, const T& maximum) {
        return Add(name, TypeCodeOf<T>(), &value, &minimum, &maximum);
    }

    // The first entry for null, else the entry after `entry`; null past the end.
    ParameterEntry* Next(const ParameterEntry* entry) const { return entry ? entry->next : first; }

    // Copies every value of `other`, entry by entry; false (and nothing copied) unless both
    // lists have the same entries in the same order, type for type.
    bool CopyValuesFrom(const ParameterList& other) const;

    // The first entry named exactly `key`, or null (also for an empty key).
    ParameterEntry* Find(std::string_view key) const;

    // The variable at `address`, exactly; 0 for an unknown type code.
    static long double ReadValue(std::uint8_t type, const void* address);
    // Stores `v`; integers take the low bits of `v` truncated toward zero (a non-finite
    // value stores 0), a float a finite `v` beyond its range as its largest value of that
    // sign; an unknown type code stores nothing.
    static void WriteValue(void* address, std::uint8_t type, double v);

    // "name=value" with the value as its type prints it (six decimals for reals).
    static std::string FormatLine(const ParameterEntry& entry);

    // Applies one "name=value" line (UTF-8) to the entry it names; true when a variable was
    // written. A value beyond the range of doubles is taken as the largest double of its
    // sign, so that whatever is loaded can be saved and loaded back.
    bool ParseLine(std::string_view text) const;

    struct LineValue {
        const ParameterEntry* entry = nullptr; // null: ParseLine would write nothing
        double value = 0.0;                    // what ParseLine would write
    };
    // What ParseLine would do with `text`, doing nothing.
    LineValue ReadLine(std::string_view text) const;

    struct IntegerBounds {
        std::int64_t minimum = 0;
        std::int64_t maximum = 0;
    };
    // The bounds of an integer entry, which are the palette's limits as well as the random
    // draw's; nullopt for a real, whose bounds are only the draw's.
    static std::optional<IntegerBounds> BoundsOfInteger(const ParameterEntry& entry);

    // A random value in [minimum, maximum) quantised to `digits` decimals; 0 for an empty range.
    static void RandomizeEntry(const ParameterEntry& entry, std::int16_t digits);
    void RandomizeAll(std::int16_t digits) const;

    std::int32_t count = 0;
    ParameterEntry* first = nullptr;
    ParameterEntry* last = nullptr;

private:
    std::deque<ParameterEntry> entries_; // a deque keeps entry addresses stable while growing
};

// The longest prefix of `text` (after leading white space) that reads as a decimal number,
// converted as the C library would in the "C" locale; 0 when there is none.
double ParseDecimal(std::string_view text);

} // namespace vorticel
