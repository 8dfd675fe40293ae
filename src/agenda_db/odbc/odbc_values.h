#pragma once

#include <optional>
#include <string_view>

#include "core/date.h"
#include "core/variant.h"

// The texts in which a server's driver gives numbers, money and dates, as the panel's values.
// Each gives nullopt for a text that is no such value.
namespace infotrakon::agenda_db {

// A numeric as "-123.4500": up to four decimals and within the range of Access's currency it
// is an exact Currency, otherwise an exact Decimal; NaN and the infinities, which a numeric
// may hold and no Access number does, are doubles.
std::optional<Variant> ServerNumber(std::string_view text);

// Money as PostgreSQL writes it in the C locale, "-$1,234.56", as an exact number.
std::optional<Variant> ServerMoney(std::string_view text);

// A date or time stamp as ODBC writes one in text, "yyyy-mm-dd[ hh:mm:ss[.fff]]", which
// PostgreSQL may follow with a zone offset (the time stays the session's wall-clock time) or
// " BC": the date, seconds cut, when it lies in the years 100 to 9999 that Access dates cover.
std::optional<Date> ServerDate(std::string_view text);

}  // namespace infotrakon::agenda_db
