#include "core/text_form.h"

#include <charconv>
#include <cmath>

#include "core/error.h"

namespace infotrakon {
namespace {

// The canonical text with the locale's separator and without trailing zeros of the fraction.
std::string DecimalText(const Decimal& number, const Locale& locale) {
    std::string text = number.text;
    const std::size_t point = text.find('.');
    if (point == std::string::npos) return text;
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') {
        text.pop_back();
        return text == "-0" ? "0" : text;
    }
    return text.substr(0, point) + locale.decimalSeparator() + text.substr(point + 1);
}

std::string BooleanText(bool flag) { return flag ? "True" : "False"; }

}  // namespace

std::string CurrencyDigits(Currency amount, const std::string& separator, bool fourDecimals) {
    const bool negative = amount.tenThousandths < 0;
    // Work in unsigned so that the most negative amount has a magnitude too.
    const std::uint64_t magnitude = negative
                                        ? ~static_cast<std::uint64_t>(amount.tenThousandths) + 1
                                        : static_cast<std::uint64_t>(amount.tenThousandths);
    std::string text = std::to_string(magnitude / 10000);
    std::string fraction = std::to_string(magnitude % 10000);
    fraction.insert(0, 4 - fraction.size(), '0');
    if (!fourDecimals)
        while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    if (!fraction.empty()) text += separator + fraction;
    return negative ? "-" + text : text;
}

// A number written to `digits` significant digits, as the platform writes a Double (15) or a
// Single (7): without trailing zeros, in the locale's decimal separator.
std::string NumberText(double number, int digits, const Locale& locale) {
    if (number == 0.0) return "0";
    if (std::isnan(number)) return "NaN";
    if (std::isinf(number)) return number < 0 ? "-1.#INF" : "1.#INF";
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, number, std::chars_format::general, digits);
    std::string raw(buffer, result.ptr);
    std::string text;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '.') {
            text += locale.decimalSeparator();
        } else if (c == 'e') {
            // 1e+20 is written 1E+20, with at least two exponent digits kept as given.
            text += 'E';
        } else {
            text += c;
        }
    }
    return text;
}

std::string TextForm(const Variant& value, const Locale& locale) {
    struct Visitor {
        const Locale& locale;
        std::string operator()(Empty) const { return {}; }
        std::string operator()(const std::string& text) const { return text; }
        std::string operator()(std::int64_t number) const { return std::to_string(number); }
        std::string operator()(double number) const { return NumberText(number, 15, locale); }
        std::string operator()(Single number) const {
            return NumberText(static_cast<double>(number.value), 7, locale);
        }
        std::string operator()(const Date& date) const {
            std::string text = locale.FormatShortDate(date);
            if (date.hasTime()) text += " " + locale.FormatTime(date);
            return text;
        }
        std::string operator()(bool flag) const { return BooleanText(flag); }
        std::string operator()(Null) const {
            throw Error(error_number::kInvalidUseOfNull, "Invalid use of Null");
        }
        std::string operator()(Currency amount) const {
            return CurrencyDigits(amount, locale.decimalSeparator());
        }
        std::string operator()(const Decimal& number) const { return DecimalText(number, locale); }
        std::string operator()(const Guid& guid) const { return guid.text; }
        std::string operator()(const Binary&) const {
            throw Error(error_number::kTypeMismatch,
                        "Type mismatch: a binary value has no text form");
        }
    };
    return std::visit(Visitor{locale}, value.value());
}

std::string JoinedTextForm(const Variant& value, const Locale& locale) {
    return value.isNull() ? std::string() : TextForm(value, locale);
}

std::string FormatAmount(const std::string& text, const Locale& locale) {
    const std::optional<double> parsed = locale.ParseNumber(text);
    if (!parsed) return text;
    const double magnitude = std::fabs(*parsed);
    // Round the value's 15 significant decimal digits, not its binary form, so that a text
    // such as 2,675 rounds up as written.
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, 14);
    const std::string scientific(buffer, result.ptr);  // d.dddddddddddddde±XX
    const std::size_t e = scientific.find('e');
    std::string mantissa = scientific.substr(0, 1) + scientific.substr(2, e - 2);
    const int exponent = std::stoi(scientific.substr(e + 1));
    // Digits of the integer part followed by exactly three decimals, the last for rounding.
    std::string digits;
    const int integerDigits = exponent + 1;
    if (integerDigits <= 0) {
        digits = "0" + std::string(static_cast<std::size_t>(-integerDigits), '0') + mantissa;
    } else if (static_cast<std::size_t>(integerDigits) >= mantissa.size()) {
        digits = mantissa + std::string(integerDigits - mantissa.size(), '0');
    } else {
        digits = mantissa;
    }
    const std::size_t integerLength =
        integerDigits <= 0 ? 1 : static_cast<std::size_t>(integerDigits);
    digits.resize(integerLength + 3, '0');
    const bool roundUp = digits.back() >= '5';
    digits.pop_back();
    if (roundUp) {
        std::size_t i = digits.size();
        while (i > 0) {
            --i;
            if (digits[i] == '9') {
                digits[i] = '0';
            } else {
                ++digits[i];
                break;
            }
            if (i == 0) digits.insert(0, "1");
        }
    }
    std::string integer = digits.substr(0, digits.size() - 2);
    const std::string decimals = digits.substr(digits.size() - 2);
    const std::size_t firstNonZero = integer.find_first_not_of('0');
    integer = firstNonZero == std::string::npos ? "0" : integer.substr(firstNonZero);
    const bool isZero = integer == "0" && decimals == "00";
    const std::string head = integer.size() > 3 ? integer.substr(0, integer.size() - 3) : "";
    const std::string tail = integer.size() > 3 ? integer.substr(integer.size() - 3) : integer;
    // A negative amount's sign goes in front of the whole format, literal blanks included.
    const std::string sign = *parsed < 0 && !isZero ? "-" : "";
    return sign + " " + head + " " + tail + locale.decimalSeparator() + decimals;
}

}  // namespace infotrakon
