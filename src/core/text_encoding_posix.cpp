// The conversions to and from single-byte code pages, through glibc's iconv.
#include <iconv.h>

#include <memory>

#include "core/error.h"
#include "core/text_encoding.h"

namespace infotrakon {
namespace {

struct IconvCloser {
    void operator()(void* handle) const { iconv_close(static_cast<iconv_t>(handle)); }
};
using Converter = std::unique_ptr<void, IconvCloser>;

Converter Open(const char* to, const char* from) {
    iconv_t handle = iconv_open(to, from);
    if (handle == reinterpret_cast<iconv_t>(-1))
        throw Error(error_number::kInvalidProcedureCall,
                    std::string("No conversion from ") + from + " to " + to + " on this system");
    return Converter(handle);
}

// Converts one piece; false when iconv refuses it.
bool ConvertPiece(void* handle, const char* in, std::size_t length, std::string& out) {
    char buffer[16];
    char* input = const_cast<char*>(in);
    char* output = buffer;
    std::size_t inLeft = length;
    std::size_t outLeft = sizeof buffer;
    iconv(static_cast<iconv_t>(handle), nullptr, nullptr, nullptr, nullptr);
    if (iconv(static_cast<iconv_t>(handle), &input, &inLeft, &output, &outLeft) ==
            static_cast<std::size_t>(-1) ||
        inLeft != 0)
        return false;
    out.append(buffer, static_cast<std::size_t>(output - buffer));
    return true;
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

const char* SystemAnsiCodePage() { return kCzechAnsiCodePage; }

std::string Utf16ToAnsi(std::u16string_view text, const char* codePage) {
    const Converter converter = Open(codePage, "UTF-16LE");
    std::string out;
    out.reserve(text.size());
    for (const char16_t unit : text) {
        if (unit < 0x80) {
            out += static_cast<char>(unit);
            continue;
        }
        const char bytes[2] = {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
        // Each half of a character beyond the first 65536 is a character of its own to the
        // platform's tables, which none of them holds.
        if (IsHighSurrogate(unit) || IsLowSurrogate(unit) ||
            !ConvertPiece(converter.get(), bytes, 2, out))
            out += '?';
    }
    return out;
}

std::string AnsiToUtf8(std::string_view text, const char* codePage) {
    const Converter converter = Open("UTF-8", codePage);
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out += c;
        } else if (!ConvertPiece(converter.get(), &c, 1, out)) {
            // A byte the code page leaves undefined: the platform gives the control character
            // of the same number (0x81 as U+0081) where there is one.
            if (byte <= 0x9F) {
                out += '\xC2';
                out += c;
            } else {
                out += '?';
            }
        }
    }
    return out;
}

}  // namespace infotrakon
