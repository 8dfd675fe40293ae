#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/variant.h"

namespace infotrakon::agenda_db {

// A record-set filter: comparisons of a field with a constant, joined by "and".
struct Comparison {
    enum class Operator { kEqual, kAtLeast };
    std::string field;
    Operator op = Operator::kEqual;
    Variant constant;  // bool, whole number or Date
    // The constant on the scale numbers compare on: Booleans as -1 and 0, dates as OLE dates.
    std::optional<double> constantNumber;
};

struct Filter {
    std::vector<Comparison> comparisons;  // none: every record passes
};

// Parses "field=constant" and "field >= constant" joined by " and "; constants are true,
// false, whole numbers and #month/day/year# dates. Raises an Error that quotes the filter
// and says what is wrong.
Filter ParseFilter(std::string_view text);

// Whether a field's value satisfies a comparison. Null satisfies none; values of kinds
// that cannot be compared with the constant satisfy none either.
bool Satisfies(const Variant& value, const Comparison& comparison);
// The same for a value that is a number (a Boolean as -1 or 0), not a date.
bool SatisfiesNumber(double value, const Comparison& comparison);

}  // namespace infotrakon::agenda_db
