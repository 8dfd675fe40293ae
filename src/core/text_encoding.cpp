#include "core/text_encoding.h"

namespace infotrakon {
namespace {

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

Utf8Character NextUtf8Character(std::string_view text, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t extra = lead >= 0xF8   ? 0
                              : lead >= 0xF0 ? 3
                              : lead >= 0xE0 ? 2
                              : lead >= 0xC2 ? 1
                                             : 0;
    const Utf8Character alone{lead, lead < 0x80};
    if (extra == 0 || i + extra >= text.size()) {
        ++i;
        return alone;
    }
    char32_t code = extra == 3 ? lead & 0x07u : extra == 2 ? lead & 0x0Fu : lead & 0x1Fu;
    for (std::size_t k = 1; k <= extra; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) {
            ++i;
            return alone;
        }
        code = (code << 6) | (next & 0x3Fu);
    }
    if (code > 0x10FFFF) {
        ++i;
        return alone;
    }
    i += extra + 1;
    return {code, true};
}

bool IsWellFormedUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();)
        if (!NextUtf8Character(text, i).wellFormed) return false;
    return true;
}

std::u16string Utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        char32_t code = NextUtf8Character(text, i).code;
        if (code >= 0x10000) {
            code -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (code >> 10));
            out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            out += static_cast<char16_t>(code);
        }
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    AppendUtf8(text, out);
    return out;
}

void AppendUtf8(std::u16string_view text, std::string& out) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t code = text[i];
        if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00u);
            ++i;
        } else if (IsHighSurrogate(text[i]) || IsLowSurrogate(text[i])) {
            code = 0xFFFD;
        }
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
}

std::wstring Utf8ToWide(std::string_view text) {
    const std::u16string units = Utf8ToUtf16(text);
    return std::wstring(units.begin(), units.end());
}

std::string WideToUtf8(std::wstring_view text) {
    return Utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

std::string_view Trim(std::string_view text, std::string_view leading, std::string_view trailing) {
    const std::size_t start = text.find_first_not_of(leading);
    if (start == std::string_view::npos) return text.substr(0, 0);
    return TrimEnd(text.substr(start), trailing);
}

std::string_view TrimEnd(std::string_view text, std::string_view trailing) {
    const std::size_t last = text.find_last_not_of(trailing);
    return text.substr(0, last == std::string_view::npos ? 0 : last + 1);
}

std::optional<std::string> TextAfterByteOrderMark(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE")) {
        std::u16string units((bytes.size() - 2) / 2, u'\0');
        for (std::size_t i = 0; i < units.size(); ++i)
            units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 + 2 * i]) |
                                             static_cast<unsigned char>(bytes[3 + 2 * i]) << 8);
        return Utf16ToUtf8(units);
    }
    if (bytes.starts_with("\xEF\xBB\xBF")) return std::string(bytes.substr(3));
    return std::nullopt;
}

}  // namespace infotrakon
