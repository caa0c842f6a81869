// Number text of the property rows.
#include "props/number_text.h"

#include <charconv>
#include <cmath>
#include <string>

namespace vorticel {

QString FormatInteger(long long v) {
    return QString::number(v);
}

QString FormatUnsigned(unsigned long long v) {
    return QString::number(v);
}

QString FormatReal(long double v, QChar decimalPoint) {
    if (std::isnan(v)) {
        return QStringLiteral("NAN");
    }
    if (std::isinf(v)) {
        return v < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    }
    if (v == 0) {
        return QStringLiteral("0");
    }
    // 15 significant digits: d.dddddddddddddde±x, then decide on the notation.
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::scientific, 14);
    const std::string text(buffer, result.ptr);
    const bool negative = text[0] == '-';
    const std::size_t e = text.find('e');
    std::string digits = text.substr(negative ? 1 : 0, e - (negative ? 1 : 0));
    digits.erase(1, 1); // the point after the first digit
    const int exponent = std::stoi(text.substr(e + 1));
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

double ParseNumber(const QString& text, QChar decimalPoint) {
    const QString t = text.trimmed();
    std::string plain; // the number with a '.' separator, for the C-locale conversion
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
    double v = 0.0;
    const char* first = plain.c_str();
    const char* last = first + plain.size();
    if (*first == '+') {
        ++first;
    }
    const auto [end, error] = std::from_chars(first, last, v);
    if (error == std::errc::result_out_of_range) {
        // Beyond double: the sign of the mantissa decides; the limits clamp it afterwards.
        const bool negative = plain[0] == '-';
        const bool tiny = plain.find("e-") != std::string::npos;
        return tiny ? 0.0 : (negative ? -HUGE_VAL : HUGE_VAL);
    }
    if (error != std::errc{} || end != last) {
        throw ConversionError("not a number: " + text.toStdString());
    }
    return v;
}

} // namespace vorticel
