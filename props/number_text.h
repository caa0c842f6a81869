// How property rows show numbers and read them back, in the user's decimal separator.
#pragma once

#include "props/property_traits.h"

#include <QChar>
#include <QString>
#include <stdexcept>

namespace vorticel {

// Text that is not a number; the editors turn it into 0.
class ConversionError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// Integers in decimal. Reals in the general format with 15 significant digits: trailing
// zeros dropped, `decimalPoint` as the separator, fixed notation for 0 and for
// 0.0001 <= |v| < 1e15 after rounding, otherwise d.dddE-x with no plus sign and no leading
// zeros in the exponent (1E20, 1E-5).
QString FormatReal(long double v, QChar decimalPoint);
// A float with the fewest significant digits that read back as the same float (0.013f gives
// "0,013"), in the notation of FormatReal.
QString FormatFloat(float v, QChar decimalPoint);
QString FormatInteger(long long v);
QString FormatUnsigned(unsigned long long v);

// Blanks around, an optional sign, digits with `decimalPoint`, an optional exponent ("E" or
// "e" with an optional sign). Throws ConversionError for anything else, the empty text, a
// lone sign or a lone separator.
double ParseNumber(const QString& text, QChar decimalPoint);
// As ParseNumber, rounded straight to the nearest float (not through a double), so that
// FormatFloat's text reads back as the float it came from.
float ParseFloat(const QString& text, QChar decimalPoint);

template <class T> QString FormatNumber(T v, QChar decimalPoint) {
    if constexpr (std::is_same_v<T, float>) {
        return FormatFloat(v, decimalPoint);
    } else if constexpr (!PropertyTraits<T>::kInteger) {
        return FormatReal(static_cast<long double>(v), decimalPoint);
    } else if constexpr (std::is_signed_v<T>) {
        return FormatInteger(v);
    } else {
        return FormatUnsigned(v);
    }
}

// A number typed into a row: parsed, clamped into [lo, hi] in double precision, and for
// integer rows truncated toward zero.
template <class T> T ParseClamped(const QString& text, QChar decimalPoint, T lo, T hi) {
    if constexpr (std::is_same_v<T, float>) {
        const float f = ParseFloat(text, decimalPoint);
        return f < lo ? lo : (f > hi ? hi : f);
    } else {
        const double v = ParseNumber(text, decimalPoint);
        if (v < static_cast<double>(lo)) {
            return lo;
        }
        if (v > static_cast<double>(hi)) {
            return hi;
        }
        return static_cast<T>(v); // integer rows truncate toward zero; v lies inside T's range
    }
}

} // namespace vorticel
