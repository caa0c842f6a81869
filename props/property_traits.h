// What the property rows need to know about each of their nine element types.
#pragma once

#include <cstdint>
#include <limits>
#include <type_traits>

namespace vorticel {

// Type codes of palette rows (distinct from the attractor registry's codes).
enum PropertyTypeCode : std::uint8_t {
    kPropBool = 0,
    kPropChar = 1,
    kPropUChar = 2,
    kPropShort = 3,
    kPropUShort = 4,
    kPropLong = 5,
    kPropULong = 6,
    kPropFloat = 7,
    kPropDouble = 8,
    kPropLongDouble = 9,
};

template <class T> struct PropertyTraits;

namespace detail {
template <class T, PropertyTypeCode Code> struct NumericTraits {
    static constexpr PropertyTypeCode kCode = Code;
    static constexpr bool kInteger = std::is_integral_v<T>;
    // The default limits of a new row: the type's whole range.
    static constexpr T kLimitMin = std::numeric_limits<T>::lowest();
    static constexpr T kLimitMax = std::numeric_limits<T>::max();
};
} // namespace detail

template <> struct PropertyTraits<std::int8_t> : detail::NumericTraits<std::int8_t, kPropChar> {};
template <>
struct PropertyTraits<std::uint8_t> : detail::NumericTraits<std::uint8_t, kPropUChar> {};
template <>
struct PropertyTraits<std::int16_t> : detail::NumericTraits<std::int16_t, kPropShort> {};
template <>
struct PropertyTraits<std::uint16_t> : detail::NumericTraits<std::uint16_t, kPropUShort> {};
template <> struct PropertyTraits<std::int32_t> : detail::NumericTraits<std::int32_t, kPropLong> {};
template <>
struct PropertyTraits<std::uint32_t> : detail::NumericTraits<std::uint32_t, kPropULong> {};
template <> struct PropertyTraits<float> : detail::NumericTraits<float, kPropFloat> {};
template <> struct PropertyTraits<double> : detail::NumericTraits<double, kPropDouble> {};
template <>
struct PropertyTraits<long double> : detail::NumericTraits<long double, kPropLongDouble> {};

} // namespace vorticel
