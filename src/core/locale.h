#pragma once

#include <optional>
#include <string>

#include "core/date.h"

namespace infotrakon {

// The parts of the user's locale that the panel shows values with: the decimal separator,
// the short date form and the time form. Patterns use d/dd, M/MM, yy/yyyy, H/HH, h, mm, ss,
// and tt (AM/PM); any other character is written as it stands.
class Locale {
  public:
    Locale(std::string decimalSeparator, std::string shortDatePattern, std::string timePattern);

    // The built-in Czech definition: decimal comma, d.M.yyyy, H:mm:ss.
    static Locale Czech();
    // The user's locale. On Linux the one the environment names (LC_ALL, then LC_NUMERIC /
    // LC_TIME, then LANG), read through glibc; on Windows the user's default locale. The
    // Czech definition stands in for what the platform does not give (on Linux: C, POSIX,
    // C.UTF-8, nothing at all, or a locale that is not installed).
    static Locale FromEnvironment();
    // A locale of the platform by name ("cs_CZ.UTF-8"); nullopt if the platform does not have
    // it or it is C/POSIX.
    static std::optional<Locale> FromSystem(const std::string& name);

    const std::string& decimalSeparator() const { return decimalSeparator_; }
    const std::string& shortDatePattern() const { return shortDatePattern_; }
    const std::string& timePattern() const { return timePattern_; }

    std::string FormatShortDate(const Date& date) const;
    std::string FormatTime(const Date& date) const;
    // Reads a text as a number the way the locale writes numbers: optional blanks, a sign,
    // digits with at most one decimal separator, optional exponent. nullopt if it is none.
    std::optional<double> ParseNumber(const std::string& text) const;

  private:
    std::string decimalSeparator_;
    std::string shortDatePattern_;
    std::string timePattern_;
};

}  // namespace infotrakon
