#pragma once

#include <string>

#include "core/locale.h"
#include "core/variant.h"

namespace infotrakon {

// The text form of a value as captions and cells show it. Null raises invalid use of Null.
std::string TextForm(const Variant& value, const Locale& locale);
// The text form where the value is joined into a longer text: Null counts as the empty text.
std::string JoinedTextForm(const Variant& value, const Locale& locale);
// An amount's exact digits: "-12.5" without trailing zeros, or with `fourDecimals` all four
// ("-12.5000"); `separator` between the whole and the fraction.
std::string CurrencyDigits(Currency amount, const std::string& separator = ".",
                           bool fourDecimals = false);

// A number written with `digits` significant digits (15 for a Double, 7 for a Single), no
// trailing zeros, the locale's separator.
std::string NumberText(double number, int digits, const Locale& locale);

// The value labels' number format " # ##0.00": a text that reads as a number becomes a blank,
// the integer digits before the last three, a blank, the last three, and two decimals;
// any other text comes back unchanged.
std::string FormatAmount(const std::string& text, const Locale& locale);

}  // namespace infotrakon
