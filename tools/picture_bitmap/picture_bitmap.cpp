// picture_bitmap OUT.bmp: writes the control's toolbox picture as a 16-colour Windows bitmap,
// for the control library's resources. Runs on the build machine.
#include <cstdint>
#include <cstdio>
#include <vector>

#include "panel/pictures.h"

namespace {

void Put16(std::vector<std::uint8_t>& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}
void Put32(std::vector<std::uint8_t>& out, unsigned value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: picture_bitmap OUT.bmp\n");
        return 2;
    }
    const infotrakon::panel::PixelPicture& picture = infotrakon::panel::ToolboxPicture();
    // Two pixels a byte, each row padded to four bytes, the bottom row first.
    const unsigned rowBytes = ((static_cast<unsigned>(picture.width) + 7) / 8) * 4;
    const unsigned pixelBytes = rowBytes * static_cast<unsigned>(picture.height);
    const unsigned headerBytes = 14 + 40 + 16 * 4;
    std::vector<std::uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, headerBytes + pixelBytes);
    Put32(out, 0);
    Put32(out, headerBytes);
    Put32(out, 40);
    Put32(out, static_cast<unsigned>(picture.width));
    Put32(out, static_cast<unsigned>(picture.height));
    Put16(out, 1);
    Put16(out, 4);
    Put32(out, 0);  // no compression
    Put32(out, pixelBytes);
    Put32(out, 2835);  // 72 dpi
    Put32(out, 2835);
    Put32(out, 16);
    Put32(out, 0);
    for (const infotrakon::panel::Rgb& colour : picture.palette) {
        out.push_back(colour.blue);
        out.push_back(colour.green);
        out.push_back(colour.red);
        out.push_back(0);
    }
    for (int y = picture.height - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(rowBytes, 0);
        for (int x = 0; x < picture.width; ++x) {
            const auto index = static_cast<std::uint8_t>(picture.IndexAt(x, y));
            row[static_cast<std::size_t>(x / 2)] |= x % 2 == 0 ? index << 4 : index;
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    std::FILE* file = std::fopen(argv[1], "wb");
    if (file == nullptr || std::fwrite(out.data(), 1, out.size(), file) != out.size()) {
        std::fprintf(stderr, "picture_bitmap: cannot write %s\n", argv[1]);
        return 1;
    }
    std::fclose(file);
    return 0;
}
