// The user's locale as the platform defines it. Its patterns (d. M. yyyy, H:mm:ss, with
// literals in quotes) are those the panel formats with.
#include <windows.h>

#include <string>

#include "core/locale.h"
#include "core/text_encoding.h"

namespace infotrakon {
namespace {

// One item of the user's default locale, as UTF-8; empty when the platform has none.
std::string UserLocaleItem(LCTYPE item) {
    char buffer[128] = {};
    const int length = GetLocaleInfoA(LOCALE_USER_DEFAULT, item, buffer, sizeof buffer);
    if (length <= 1) return {};
    return AnsiToUtf8(std::string(buffer, static_cast<std::size_t>(length - 1)),
                      SystemAnsiCodePage());
}

std::string NamedLocaleItem(const std::wstring& name, LCTYPE item) {
    wchar_t buffer[128] = {};
    const int length = GetLocaleInfoEx(name.c_str(), item, buffer, 128);
    if (length <= 1) return {};
    return Utf16ToUtf8(std::u16string(reinterpret_cast<const char16_t*>(buffer),
                                      static_cast<std::size_t>(length - 1)));
}

}  // namespace

std::optional<Locale> Locale::FromSystem(const std::string& name) {
    // "cs_CZ.UTF-8" as the platform names it: "cs-CZ".
    std::wstring platformName;
    for (const char c : name.substr(0, name.find('.'))) platformName += c == '_' ? L'-' : c;
    if (platformName.empty()) return std::nullopt;
    std::string decimal = NamedLocaleItem(platformName, LOCALE_SDECIMAL);
    std::string date = NamedLocaleItem(platformName, LOCALE_SSHORTDATE);
    std::string time = NamedLocaleItem(platformName, LOCALE_STIMEFORMAT);
    if (decimal.empty() || date.empty() || time.empty()) return std::nullopt;
    return Locale(std::move(decimal), std::move(date), std::move(time));
}

Locale Locale::FromEnvironment() {
    Locale locale = Czech();
    if (std::string decimal = UserLocaleItem(LOCALE_SDECIMAL); !decimal.empty())
        locale.decimalSeparator_ = std::move(decimal);
    if (std::string date = UserLocaleItem(LOCALE_SSHORTDATE); !date.empty())
        locale.shortDatePattern_ = std::move(date);
    if (std::string time = UserLocaleItem(LOCALE_STIMEFORMAT); !time.empty())
        locale.timePattern_ = std::move(time);
    return locale;
}

}  // namespace infotrakon
