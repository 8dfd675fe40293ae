// The conversions to and from single-byte code pages, through the platform's own tables.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "core/error.h"
#include "core/text_encoding.h"

namespace infotrakon {
namespace {

// "CP1250" as the number the platform's functions take.
UINT CodePageNumber(const char* codePage) {
    const std::string name = codePage;
    if (name.size() > 2 && (name[0] == 'C' || name[0] == 'c') && (name[1] == 'P' || name[1] == 'p'))
        return static_cast<UINT>(std::strtoul(name.c_str() + 2, nullptr, 10));
    throw Error(error_number::kInvalidProcedureCall,
                "No conversion from the code page " + name + " on this system");
}

}  // namespace

const char* SystemAnsiCodePage() {
    static const std::string name = "CP" + std::to_string(GetACP());
    return name.c_str();
}

std::string Utf16ToAnsi(std::u16string_view text, const char* codePage) {
    if (text.empty()) return {};
    const UINT page = CodePageNumber(codePage);
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(text.size());
    const int needed = WideCharToMultiByte(page, 0, wide, length, nullptr, 0, "?", nullptr);
    if (needed <= 0)
        throw Error(error_number::kInvalidProcedureCall,
                    std::string("No conversion to ") + codePage + " on this system");
    std::string out(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(page, 0, wide, length, out.data(), needed, "?", nullptr);
    return out;
}

std::string AnsiToUtf8(std::string_view text, const char* codePage) {
    if (text.empty()) return {};
    const UINT page = CodePageNumber(codePage);
    const int length = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(page, 0, text.data(), length, nullptr, 0);
    if (needed <= 0)
        throw Error(error_number::kInvalidProcedureCall,
                    std::string("No conversion from ") + codePage + " on this system");
    std::u16string units(static_cast<std::size_t>(needed), u'\0');
    MultiByteToWideChar(page, 0, text.data(), length, reinterpret_cast<wchar_t*>(units.data()),
                        needed);
    return Utf16ToUtf8(units);
}

}  // namespace infotrakon
