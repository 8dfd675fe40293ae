#include "core/locale.h"

#include <charconv>

namespace infotrakon {
namespace {

std::string TwoDigits(int value) {
    std::string text = std::to_string(value);
    return text.size() < 2 ? "0" + text : text;
}

std::string FormatPattern(const std::string& pattern, const Date& date) {
    const CivilDate civil = date.civil();
    const int seconds = date.secondsOfDay();
    const int hour = seconds / 3600;
    const int minute = seconds / 60 % 60;
    const int second = seconds % 60;
    std::string out;
    for (std::size_t i = 0; i < pattern.size();) {
        const char c = pattern[i];
        if (c == '\'') {
            const std::size_t end = pattern.find('\'', i + 1);
            const std::size_t stop = end == std::string::npos ? pattern.size() : end;
            out.append(pattern, i + 1, stop - i - 1);
            i = stop + 1;
            continue;
        }
        std::size_t run = 1;
        while (i + run < pattern.size() && pattern[i + run] == c) ++run;
        const bool two = run >= 2;
        switch (c) {
            case 'd':
                out += two ? TwoDigits(civil.day) : std::to_string(civil.day);
                break;
            case 'M':
                out += two ? TwoDigits(civil.month) : std::to_string(civil.month);
                break;
            case 'y':
                if (run >= 3) {
                    std::string year = std::to_string(civil.year);
                    out += std::string(year.size() < 4 ? 4 - year.size() : 0, '0') + year;
                } else {
                    out += TwoDigits(civil.year % 100);
                }
                break;
            case 'H':
                out += two ? TwoDigits(hour) : std::to_string(hour);
                break;
            case 'h': {
                const int twelve = hour % 12 == 0 ? 12 : hour % 12;
                out += two ? TwoDigits(twelve) : std::to_string(twelve);
                break;
            }
            case 'm':
                out += TwoDigits(minute);
                break;
            case 's':
                out += TwoDigits(second);
                break;
            case 't':
                out += hour < 12 ? "AM" : "PM";
                break;
            default:
                out.append(run, c);
                break;
        }
        i += run;
    }
    return out;
}

}  // namespace

Locale::Locale(std::string decimalSeparator, std::string shortDatePattern, std::string timePattern)
    : decimalSeparator_(std::move(decimalSeparator)),
      shortDatePattern_(std::move(shortDatePattern)),
      timePattern_(std::move(timePattern)) {}

Locale Locale::Czech() { return Locale(",", "d.M.yyyy", "H:mm:ss"); }

std::string Locale::FormatShortDate(const Date& date) const {
    return FormatPattern(shortDatePattern_, date);
}

std::string Locale::FormatTime(const Date& date) const { return FormatPattern(timePattern_, date); }

std::optional<double> Locale::ParseNumber(const std::string& text) const {
    std::size_t i = 0;
    const std::size_t n = text.size();
    auto skipBlanks = [&] {
        while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
    };
    skipBlanks();
    std::string normalized;
    if (i < n && (text[i] == '+' || text[i] == '-')) normalized += text[i++];
    bool digits = false;
    bool separator = false;
    while (i < n) {
        if (text[i] >= '0' && text[i] <= '9') {
            normalized += text[i++];
            digits = true;
        } else if (!separator && !decimalSeparator_.empty() &&
                   text.compare(i, decimalSeparator_.size(), decimalSeparator_) == 0) {
            normalized += '.';
            i += decimalSeparator_.size();
            separator = true;
        } else {
            break;
        }
    }
    if (!digits) return std::nullopt;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < n && (text[j] == '+' || text[j] == '-')) exponent += text[j++];
        bool exponentDigits = false;
        while (j < n && text[j] >= '0' && text[j] <= '9') {
            exponent += text[j++];
            exponentDigits = true;
        }
        if (!exponentDigits) return std::nullopt;
        normalized += exponent;
        i = j;
    }
    skipBlanks();
    if (i != n) return std::nullopt;
    // from_chars, unlike strtod, does not depend on the process locale a GUI host may set.
    const char* first = normalized.data();
    const char* last = first + normalized.size();
    if (*first == '+') ++first;
    double value = 0;
    const auto [end, status] = std::from_chars(first, last, value);
    if (end != last) return std::nullopt;
    if (status == std::errc::result_out_of_range) {
        // Underflow reads as zero; overflow is no number the panel can show.
        if (normalized.find("e-") == std::string::npos) return std::nullopt;
        return 0.0;
    }
    return value;
}

}  // namespace infotrakon
