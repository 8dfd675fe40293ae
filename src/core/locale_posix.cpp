// The user's locale as glibc defines it.
#include <langinfo.h>
#include <locale.h>

#include <cstdlib>
#include <cstring>

#include "core/locale.h"

namespace infotrakon {
namespace {

bool IsPatternLetter(char c) { return std::strchr("dMyHhmst", c) != nullptr; }

// A character of the format outside a conversion, quoted where the pattern would read it
// as a field or a quote.
std::string QuotedLiteral(char c) {
    if (IsPatternLetter(c) || c == '\'') return std::string{'\'', c, '\''};
    return std::string(1, c);
}

// What a strftime conversion reads as in a pattern: padded as the conversion pads, and
// unpadded where the format asks for no padding (%-d).
struct Conversion {
    char letter;
    const char* padded;
    const char* unpadded;
};
constexpr Conversion kConversions[] = {
    {'d', "dd", "d"},
    {'e', "d", "d"},
    {'m', "MM", "M"},
    {'Y', "yyyy", "yyyy"},
    {'y', "yy", "yy"},
    {'H', "HH", "H"},
    {'k', "H", "H"},
    {'I', "hh", "h"},
    {'l', "h", "h"},
    {'M', "mm", "mm"},
    {'S', "ss", "ss"},
    {'p', "tt", "tt"},
    {'P', "tt", "tt"},
    {'r', "hh:mm:ss tt", "hh:mm:ss tt"},
    {'D', "MM/dd/yy", "MM/dd/yy"},
    {'F', "yyyy-MM-dd", "yyyy-MM-dd"},
    {'T', "HH:mm:ss", "HH:mm:ss"},
    {'R', "HH:mm", "HH:mm"},
    {'%', "%", "%"},
};

// The pattern of one conversion; nothing for zones, weekday and month names, which the
// short forms do not show.
std::string ConversionPattern(char letter, bool unpadded) {
    for (const Conversion& conversion : kConversions)
        if (conversion.letter == letter) return unpadded ? conversion.unpadded : conversion.padded;
    return {};
}

// The flags and modifiers glibc puts between % and the conversion.
bool IsFlag(char c) { return c == '-' || c == '_' || c == '0' || c == 'E' || c == 'O'; }

// The blanks that stood around a field left out go with it.
std::string WithoutStrayBlanks(const std::string& pattern) {
    std::string tidy;
    for (const char c : pattern)
        if (c != ' ' || (!tidy.empty() && tidy.back() != ' ')) tidy += c;
    while (!tidy.empty() && tidy.back() == ' ') tidy.pop_back();
    return tidy;
}

// Turns a strftime format, as glibc gives D_FMT and T_FMT, into a date pattern.
std::string PatternFromStrftime(const std::string& format) {
    std::string pattern;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 == format.size()) {
            pattern += QuotedLiteral(format[i]);
            continue;
        }
        char letter = format[++i];
        bool unpadded = false;
        if (IsFlag(letter) && i + 1 < format.size()) {
            unpadded = letter == '-';
            letter = format[++i];
        }
        pattern += ConversionPattern(letter, unpadded);
    }
    return WithoutStrayBlanks(pattern);
}

bool IsUnusableName(const char* name) {
    if (name == nullptr || *name == '\0') return true;
    return std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0 ||
           std::strncmp(name, "C.", 2) == 0;
}

const char* EnvironmentName(const char* category) {
    for (const char* variable : {"LC_ALL", category, "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') return value;
    }
    return nullptr;
}

}  // namespace

std::optional<Locale> Locale::FromSystem(const std::string& name) {
    if (IsUnusableName(name.c_str())) return std::nullopt;
    locale_t handle = newlocale(LC_NUMERIC_MASK | LC_TIME_MASK, name.c_str(), nullptr);
    if (handle == nullptr) return std::nullopt;
    std::string radix = nl_langinfo_l(RADIXCHAR, handle);
    Locale result(radix.empty() ? Czech().decimalSeparator_ : std::move(radix),
                  PatternFromStrftime(nl_langinfo_l(D_FMT, handle)),
                  PatternFromStrftime(nl_langinfo_l(T_FMT, handle)));
    freelocale(handle);
    return result;
}

Locale Locale::FromEnvironment() {
    Locale locale = Czech();
    if (const char* numeric = EnvironmentName("LC_NUMERIC")) {
        if (auto system = FromSystem(numeric)) locale.decimalSeparator_ = system->decimalSeparator_;
    }
    if (const char* time = EnvironmentName("LC_TIME")) {
        if (auto system = FromSystem(time)) {
            locale.shortDatePattern_ = system->shortDatePattern_;
            locale.timePattern_ = system->timePattern_;
        }
    }
    return locale;
}

}  // namespace infotrakon
