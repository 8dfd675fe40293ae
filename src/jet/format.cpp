#include "jet/format.h"

#include <utility>

namespace infotrakon::jet {

bool CompressUnicode(std::u16string_view text, std::vector<std::uint8_t>& out) {
    if (text.size() < 3) return false;  // the marker would make it no shorter
    for (const char16_t unit : text)
        if (unit == 0 || unit > 0xFF) return false;
    out.push_back(kCompressedTextMarker[0]);
    out.push_back(kCompressedTextMarker[1]);
    for (const char16_t unit : text) out.push_back(static_cast<std::uint8_t>(unit));
    return true;
}

std::u16string DecodeUnicodeText(std::span<const std::uint8_t> bytes) {
    std::u16string text;
    if (bytes.size() >= 2 && bytes[0] == kCompressedTextMarker[0] &&
        bytes[1] == kCompressedTextMarker[1]) {
        text.reserve(bytes.size() - 2);
        bool compressed = true;
        for (std::size_t i = 2; i < bytes.size();) {
            if (bytes[i] == 0) {
                compressed = !compressed;
                ++i;
            } else if (compressed) {
                text.push_back(static_cast<char16_t>(bytes[i++]));
            } else if (i + 1 < bytes.size()) {
                text.push_back(static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8));
                i += 2;
            } else {
                break;  // half a character at the end
            }
        }
        return text;
    }
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        text.push_back(static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8));
    return text;
}

void Rc4(const std::uint8_t* key, std::size_t keyLength, std::uint8_t* data, std::size_t length) {
    std::uint8_t state[256];
    for (int i = 0; i < 256; ++i) state[i] = static_cast<std::uint8_t>(i);
    std::uint8_t j = 0;
    for (int i = 0; i < 256; ++i) {
        j = static_cast<std::uint8_t>(j + state[i] + key[static_cast<std::size_t>(i) % keyLength]);
        std::swap(state[i], state[j]);
    }
    std::uint8_t a = 0, b = 0;
    for (std::size_t k = 0; k < length; ++k) {
        a = static_cast<std::uint8_t>(a + 1);
        b = static_cast<std::uint8_t>(b + state[a]);
        std::swap(state[a], state[b]);
        data[k] ^= state[static_cast<std::uint8_t>(state[a] + state[b])];
    }
}

void CodePage(std::uint32_t databaseKey, std::uint32_t page, std::span<std::uint8_t> bytes) {
    const std::uint32_t pageKey = databaseKey ^ page;
    const std::uint8_t key[4] = {
        static_cast<std::uint8_t>(pageKey), static_cast<std::uint8_t>(pageKey >> 8),
        static_cast<std::uint8_t>(pageKey >> 16), static_cast<std::uint8_t>(pageKey >> 24)};
    Rc4(key, sizeof key, bytes.data(), bytes.size());
}

}  // namespace infotrakon::jet
