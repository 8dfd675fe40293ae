#include "agenda_db/filter.h"

#include <charconv>
#include <optional>

#include "core/case_fold.h"
#include "core/error.h"
#include "core/text_encoding.h"

namespace infotrakon::agenda_db {
namespace {

[[noreturn]] void Invalid(std::string_view filter, const std::string& why) {
    throw Error(error_number::kInvalidFilter,
                "The filter \"" + std::string(filter) + "\" is invalid: " + why);
}

std::optional<int> Number(std::string_view digits) {
    if (digits.empty() || digits.size() > 9) return std::nullopt;
    int value = 0;
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (result.ec != std::errc() || result.ptr != digits.data() + digits.size())
        return std::nullopt;
    return value;
}

// #month/day/year#, the year in two digits taken as the platform does (30 and later in the
// 1900s).
std::optional<Date> DateLiteral(std::string_view text) {
    const std::size_t first = text.find('/');
    const std::size_t second = first == text.npos ? text.npos : text.find('/', first + 1);
    if (second == text.npos) return std::nullopt;
    const auto month = Number(Trim(text.substr(0, first)));
    const auto day = Number(Trim(text.substr(first + 1, second - first - 1)));
    const std::string_view yearText = Trim(text.substr(second + 1));
    auto year = Number(yearText);
    if (!month || !day || !year || yearText.size() > 4) return std::nullopt;
    if (yearText.size() <= 2) *year += *year < 30 ? 2000 : 1900;
    if (*year < 100 || !Date::IsValidCivil(*year, *month, *day)) return std::nullopt;
    return Date::FromCivil(*year, *month, *day);
}

Variant Constant(std::string_view filter, std::string_view text) {
    if (EqualsIgnoringCase(text, "true")) return true;
    if (EqualsIgnoringCase(text, "false")) return false;
    if (text.size() >= 2 && text.front() == '#' && text.back() == '#') {
        if (const auto date = DateLiteral(text.substr(1, text.size() - 2))) return *date;
        Invalid(filter, "\"" + std::string(text) + "\" is no date written #month/day/year#");
    }
    std::int64_t number = 0;
    const char* begin = text.data() + (!text.empty() && text.front() == '+' ? 1 : 0);
    const auto result = std::from_chars(begin, text.data() + text.size(), number);
    if (!text.empty() && result.ec == std::errc() && result.ptr == text.data() + text.size())
        return number;
    Invalid(filter, "\"" + std::string(text) +
                        "\" is no constant (true, false, a whole number or #month/day/year#)");
}

}  // namespace

Filter ParseFilter(std::string_view text) {
    Filter filter;
    const std::string_view whole = Trim(text);
    if (whole.empty()) return filter;
    std::size_t start = 0;
    while (true) {
        // " and " separates comparisons, in any letter case.
        std::size_t end = start;
        while (end < whole.size() &&
               !(end + 5 <= whole.size() && EqualsIgnoringCase(whole.substr(end, 5), " and ")))
            ++end;
        const std::string_view part = Trim(whole.substr(start, end - start));
        Comparison comparison;
        std::size_t at = part.find(">=");
        std::size_t operatorLength = 2;
        if (at != part.npos) {
            comparison.op = Comparison::Operator::kAtLeast;
        } else {
            at = part.find('=');
            operatorLength = 1;
            if (at == part.npos)
                Invalid(text, "\"" + std::string(part) + "\" is no comparison with = or >=");
        }
        std::string_view field = Trim(part.substr(0, at));
        if (field.size() >= 2 && field.front() == '[' && field.back() == ']')
            field = field.substr(1, field.size() - 2);
        if (field.empty()) Invalid(text, "a comparison names no field");
        comparison.field = std::string(field);
        const std::string_view constant = Trim(part.substr(at + operatorLength));
        if (constant.empty())
            Invalid(text, "the comparison of " + comparison.field + " has no constant");
        comparison.constant = Constant(text, constant);
        comparison.constantNumber = NumericValue(comparison.constant);
        filter.comparisons.push_back(std::move(comparison));
        if (end >= whole.size()) break;
        start = end + 5;
    }
    return filter;
}

bool Satisfies(const Variant& value, const Comparison& comparison) {
    if (value.isNull() || value.isEmpty()) return false;
    // Dates compare as dates: before 1900 an OLE date's fraction runs the other way.
    const Date* date = value.get<Date>();
    const Date* constantDate = comparison.constant.get<Date>();
    if (date && constantDate)
        return comparison.op == Comparison::Operator::kEqual ? *date == *constantDate
                                                             : *date >= *constantDate;
    // On one scale with the constant: Booleans as -1 and 0, dates as OLE dates.
    const auto left = NumericValue(value);
    return left && SatisfiesNumber(*left, comparison);
}

bool SatisfiesNumber(double value, const Comparison& comparison) {
    const std::optional<double>& constant = comparison.constantNumber;
    if (!constant) return false;
    return comparison.op == Comparison::Operator::kEqual ? value == *constant : value >= *constant;
}

}  // namespace infotrakon::agenda_db
