// Number text of the property rows.
#include "props/number_text.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace vorticel {

QString FormatInteger(long long v) {
    return QString::number(v);
}

QString FormatUnsigned(unsigned long long v) {
    return QString::number(v);
}

namespace {

// Writes `digits` (significant digits, the first before the point) times 10^exponent in the
// general notation of FormatReal.
QString GeneralNotation(bool negative, std::string digits, int exponent, QChar decimalPoint) {
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }
    std::string out = negative ? "-" : "";
    const std::string point(
        1, static_cast<char>(decimalPoint.unicode() < 128 ? decimalPoint.toLatin1() : '.'));
    if (exponent >= -4 && exponent < 15) {
        if (exponent < 0) {
            out += "0" + point + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
        } else if (digits.size() > static_cast<std::size_t>(exponent) + 1) {
            out += digits.substr(0, static_cast<std::size_t>(exponent) + 1) + point +
                   digits.substr(static_cast<std::size_t>(exponent) + 1);
        } else {
            out +=
                digits + std::string(static_cast<std::size_t>(exponent) + 1 - digits.size(), '0');
        }
    } else {
        out += digits.substr(0, 1);
        if (digits.size() > 1) {
            out += point + digits.substr(1);
        }
        out += "E" + std::to_string(exponent);
    }
    QString formatted = QString::fromLatin1(out.c_str());
    if (decimalPoint.unicode() >= 128) {
        formatted.replace(QLatin1Char('.'), decimalPoint);
    }
    return formatted;
}

// NaN, the infinities and zero; empty for every other value.
template <class T> QString SpecialText(T v) {
    if (std::isnan(v)) {
        return QStringLiteral("NAN");
    }
    if (std::isinf(v)) {
        return v < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    }
    if (v == 0) {
        return QStringLiteral("0");
    }
    return {};
}

// "d.ddde±x" (as std::to_chars writes it in scientific notation) in the general notation.
QString FromScientific(const std::string& text, QChar decimalPoint) {
    const bool negative = text[0] == '-';
    const std::size_t e = text.find('e');
    std::string digits = text.substr(negative ? 1 : 0, e - (negative ? 1 : 0));
    if (digits.size() > 1) {
        digits.erase(1, 1); // the point after the first digit
    }
    return GeneralNotation(negative, digits, std::stoi(text.substr(e + 1)), decimalPoint);
}

} // namespace

QString FormatReal(long double v, QChar decimalPoint) {
    if (QString special = SpecialText(v); !special.isEmpty()) {
        return special;
    }
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::scientific, 14);
    return FromScientific(std::string(buffer, result.ptr), decimalPoint);
}

QString FormatFloat(float v, QChar decimalPoint) {
    if (QString special = SpecialText(v); !special.isEmpty()) {
        return special;
    }
    // Without a precision std::to_chars gives the shortest digits that read back as v.
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::scientific);
    return FromScientific(std::string(buffer, result.ptr), decimalPoint);
}

namespace {

// The number of `text` with a '.' separator, for the C-locale conversion; throws
// ConversionError when `text` is not a number.
std::string PlainNumber(const QString& text, QChar decimalPoint) {
    const QString t = text.trimmed();
    std::string plain;
    int i = 0;
    const int n = static_cast<int>(t.size());
    if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) {
        plain += static_cast<char>(t[i].toLatin1());
        ++i;
    }
    int digits = 0;
    while (i < n && t[i].isDigit() && t[i].unicode() < 128) {
        plain += static_cast<char>(t[i].toLatin1());
        ++i;
        ++digits;
    }
    if (i < n && t[i] == decimalPoint) {
        plain += '.';
        ++i;
        while (i < n && t[i].isDigit() && t[i].unicode() < 128) {
            plain += static_cast<char>(t[i].toLatin1());
            ++i;
            ++digits;
        }
    }
    if (digits == 0) {
        throw ConversionError("not a number: " + text.toStdString());
    }
    if (i < n && (t[i] == QLatin1Char('e') || t[i] == QLatin1Char('E'))) {
        plain += 'e';
        ++i;
        if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) {
            plain += static_cast<char>(t[i].toLatin1());
            ++i;
        }
        int exponentDigits = 0;
        while (i < n && t[i].isDigit() && t[i].unicode() < 128) {
            plain += static_cast<char>(t[i].toLatin1());
            ++i;
            ++exponentDigits;
        }
        if (exponentDigits == 0) {
            throw ConversionError("not a number: " + text.toStdString());
        }
    }
    if (i != n) {
        throw ConversionError("not a number: " + text.toStdString());
    }
    return plain;
}

// `plain` (from PlainNumber) in R, rounded once from the decimal text.
template <class R> R Convert(const std::string& plain, const QString& text) {
    R v = 0;
    const char* first = plain.c_str();
    const char* last = first + plain.size();
    if (*first == '+') {
        ++first;
    }
    const auto [end, error] = std::from_chars(first, last, v);
    if (error == std::errc::result_out_of_range) {
        // Beyond R: the sign of the mantissa decides; the limits clamp it afterwards.
        const bool negative = plain[0] == '-';
        const bool tiny = plain.find("e-") != std::string::npos;
        return tiny ? R(0)
                    : (negative ? -std::numeric_limits<R>::infinity()
                                : std::numeric_limits<R>::infinity());
    }
    if (error != std::errc{} || end != last) {
        throw ConversionError("not a number: " + text.toStdString());
    }
    return v;
}

} // namespace

double ParseNumber(const QString& text, QChar decimalPoint) {
    return Convert<double>(PlainNumber(text, decimalPoint), text);
}

float ParseFloat(const QString& text, QChar decimalPoint) {
    return Convert<float>(PlainNumber(text, decimalPoint), text);
}

} // namespace vorticel
