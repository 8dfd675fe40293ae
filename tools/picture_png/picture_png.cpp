// picture_png OUT.png: the control's toolbox picture as a 16 x 16 PNG icon (the picture's 15
// rows at the top), for the desktop entry. Runs on the build machine.
#include <QImage>
#include <cstdio>

#include "panel/pictures.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: picture_png OUT.png\n");
        return 2;
    }
    const infotrakon::panel::PixelPicture& picture = infotrakon::panel::ToolboxPicture();
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const int index = picture.IndexAt(x, y);
            if (index == 0) continue;  // the toolbox's grey ground
            const infotrakon::panel::Rgb& rgb = picture.palette[static_cast<std::size_t>(index)];
            icon.setPixel(x, y, qRgb(rgb.red, rgb.green, rgb.blue));
        }
    if (!icon.save(argv[1], "PNG")) {
        std::fprintf(stderr, "picture_png: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
