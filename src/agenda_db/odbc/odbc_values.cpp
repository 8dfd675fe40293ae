#include "agenda_db/odbc/odbc_values.h"

#include <algorithm>
#include <limits>
#include <string>

namespace infotrakon::agenda_db {
namespace {

bool AllDigits(std::string_view part) {
    return std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::optional<Variant> ServerNumber(std::string_view text) {
    if (text == "NaN") return std::numeric_limits<double>::quiet_NaN();
    if (text == "Infinity") return std::numeric_limits<double>::infinity();
    if (text == "-Infinity") return -std::numeric_limits<double>::infinity();
    const bool negative = !text.empty() && text[0] == '-';
    const std::string_view unsignedText = text.substr(negative ? 1 : 0);
    const std::size_t point = unsignedText.find('.');
    const std::string_view whole = unsignedText.substr(0, point);
    std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : unsignedText.substr(point + 1);
    if (whole.empty() || !AllDigits(whole) || !AllDigits(fraction) ||
        (point != std::string_view::npos && fraction.empty()))
        return std::nullopt;
    while (fraction.size() > 4 && fraction.back() == '0') fraction.remove_suffix(1);
    if (fraction.size() <= 4) {
        std::string digits = std::string(whole) + std::string(fraction);
        digits.append(4 - fraction.size(), '0');
        while (digits.size() > 1 && digits[0] == '0') digits.erase(0, 1);
        if (digits.size() <= 19) {
            unsigned long long magnitude = 0;
            for (const char c : digits) magnitude = magnitude * 10 + static_cast<unsigned>(c - '0');
            const unsigned long long limit =
                negative ? 9223372036854775808ULL : 9223372036854775807ULL;
            if (digits.size() < 19 || magnitude <= limit)
                return Currency{negative ? static_cast<std::int64_t>(0ULL - magnitude)
                                         : static_cast<std::int64_t>(magnitude)};
        }
    }
    return Decimal{std::string(text)};
}

std::optional<Variant> ServerMoney(std::string_view text) {
    // "-$1,234.56": the sign, the currency sign, digits with group commas, the point.
    std::string number;
    std::size_t at = 0;
    if (at < text.size() && text[at] == '-') number += text[at++];
    if (at < text.size() && text[at] == '$') ++at;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        if (c == ',' && !number.empty() && number.back() != '-') continue;
        if (c != '.' && (c < '0' || c > '9')) return std::nullopt;
        number += c;
    }
    return ServerNumber(number);
}

std::optional<Date> ServerDate(std::string_view text) {
    std::size_t at = 0;
    const auto number = [&](std::size_t fewest, std::size_t most, int& value) {
        const std::size_t start = at;
        while (at < text.size() && at - start < most && text[at] >= '0' && text[at] <= '9') ++at;
        if (at - start < fewest) return false;
        value = 0;
        for (std::size_t i = start; i < at; ++i) value = value * 10 + (text[i] - '0');
        return true;
    };
    const auto mark = [&](char c) { return at < text.size() && text[at] == c && ++at; };
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (!number(4, 9, year) || !mark('-') || !number(2, 2, month) || !mark('-') ||
        !number(2, 2, day))
        return std::nullopt;
    if (mark(' ')) {
        if (!number(2, 2, hour) || !mark(':') || !number(2, 2, minute) || !mark(':') ||
            !number(2, 2, second))
            return std::nullopt;
        int ignored = 0;
        if (mark('.') && !number(1, 9, ignored)) return std::nullopt;
        if (mark('+') || mark('-')) {
            if (!number(2, 2, ignored)) return std::nullopt;
            while (mark(':'))
                if (!number(2, 2, ignored)) return std::nullopt;
        }
    }
    if (at != text.size() || year < 100 || year > 9999 || !Date::IsValidCivil(year, month, day) ||
        hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    return Date::FromCivil(year, month, day, hour, minute, second);
}

}  // namespace infotrakon::agenda_db
