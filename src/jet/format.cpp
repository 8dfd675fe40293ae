#include "jet/format.h"

#include <utility>

namespace infotrakon::jet {

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

}  // namespace infotrakon::jet
