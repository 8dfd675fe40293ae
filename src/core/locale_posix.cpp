// The user's locale as glibc defines it.
#include <langinfo.h>
#include <locale.h>

#include <cstdlib>
#include <cstring>

#include "core/locale.h"

namespace infotrakon {
namespace {

bool IsPatternLetter(char c) { return std::strchr("dMyHhmst", c) != nullptr; }

// Turns a strftime format, as glibc gives D_FMT and T_FMT, into a date pattern.
std::string PatternFromStrftime(const std::string& format) {
    std::string pattern;
    auto literal = [&pattern](char c) {
        if (IsPatternLetter(c) || c == '\'') {
            pattern += '\'';
            pattern += c;
            pattern += '\'';
        } else {
            pattern += c;
        }
    };
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 == format.size()) {
            literal(format[i]);
            continue;
        }
        char conversion = format[++i];
        bool noPadding = false;
        if ((conversion == '-' || conversion == '_' || conversion == '0' || conversion == 'E' ||
             conversion == 'O') &&
            i + 1 < format.size()) {
            noPadding = conversion == '-';
            conversion = format[++i];
        }
        switch (conversion) {
            case 'd':
                pattern += noPadding ? "d" : "dd";
                break;
            case 'e':
                pattern += "d";
                break;
            case 'm':
                pattern += noPadding ? "M" : "MM";
                break;
            case 'Y':
                pattern += "yyyy";
                break;
            case 'y':
                pattern += "yy";
                break;
            case 'H':
                pattern += noPadding ? "H" : "HH";
                break;
            case 'k':
                pattern += "H";
                break;
            case 'I':
                pattern += noPadding ? "h" : "hh";
                break;
            case 'l':
                pattern += "h";
                break;
            case 'M':
                pattern += "mm";
                break;
            case 'S':
                pattern += "ss";
                break;
            case 'p':
            case 'P':
                pattern += "tt";
                break;
            case 'r':
                pattern += "hh:mm:ss tt";
                break;
            case 'D':
                pattern += "MM/dd/yy";
                break;
            case 'F':
                pattern += "yyyy-MM-dd";
                break;
            case 'T':
                pattern += "HH:mm:ss";
                break;
            case 'R':
                pattern += "HH:mm";
                break;
            case '%':
                pattern += '%';
                break;
            default:
                break;  // zones, weekday and month names: the short forms have none
        }
    }
    // The blanks that stood around a field left out go with it.
    std::string tidy;
    for (const char c : pattern)
        if (c != ' ' || (!tidy.empty() && tidy.back() != ' ')) tidy += c;
    while (!tidy.empty() && tidy.back() == ' ') tidy.pop_back();
    return tidy;
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
