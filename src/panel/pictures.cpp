#include "panel/pictures.h"

namespace infotrakon::panel {

const VectorPicture& RefreshPicture() {
    static const VectorPicture picture = [] {
        const Rgb grey{128, 128, 128}, white{255, 255, 255}, green{0, 140, 0};
        using Kind = PictureShape::Kind;
        VectorPicture made;
        made.width = 16;
        made.height = 17;
        // The sheet, its top-right corner folded down.
        made.shapes.push_back(
            {.kind = Kind::kPolygon,
             .points = {{2.5f, 0.5f}, {10.5f, 0.5f}, {14.5f, 4.5f}, {14.5f, 16.5f}, {2.5f, 16.5f}},
             .pen = grey,
             .filled = true,
             .fill = white});
        made.shapes.push_back({.kind = Kind::kPolyline,
                               .points = {{10.5f, 0.5f}, {10.5f, 4.5f}, {14.5f, 4.5f}},
                               .pen = grey});
        // Two arrows chasing each other round a circle.
        for (const float start : {30.0f, 210.0f})
            made.shapes.push_back({.kind = Kind::kArc,
                                   .points = {{4.5f, 5.5f}, {12.5f, 13.5f}},
                                   .pen = green,
                                   .penWidth = 1.6f,
                                   .startDegrees = start,
                                   .spanDegrees = 130});
        made.shapes.push_back({.kind = Kind::kPolygon,
                               .points = {{3.2f, 8.0f}, {6.6f, 8.0f}, {4.9f, 10.4f}},
                               .pen = green,
                               .outline = false,
                               .filled = true,
                               .fill = green});
        made.shapes.push_back({.kind = Kind::kPolygon,
                               .points = {{10.4f, 11.0f}, {13.8f, 11.0f}, {12.1f, 8.6f}},
                               .pen = green,
                               .outline = false,
                               .filled = true,
                               .fill = green});
        return made;
    }();
    return picture;
}

int PixelPicture::IndexAt(int x, int y) const {
    const char c = rows.at(static_cast<std::size_t>(y)).at(static_cast<std::size_t>(x));
    const std::size_t index = colours.find(c);
    return index == std::string_view::npos ? 0 : static_cast<int>(index);
}

const PixelPicture& ToolboxPicture() {
    // The window's frame in black, its title bar in blue with a white close box, a white
    // client area with grey lines of text; a yellow pen with a black tip across its corner.
    static const PixelPicture picture{
        .width = 16,
        .height = 15,
        .colours = "_kbwgyo",
        .palette = {Rgb{192, 192, 192}, Rgb{0, 0, 0}, Rgb{0, 0, 128}, Rgb{255, 255, 255},
                    Rgb{128, 128, 128}, Rgb{255, 255, 0}, Rgb{128, 128, 0}},
        .rows = {
            "kkkkkkkkkkkk____",
            "kbbbbbbbbwbk____",
            "kbbbbbbbbbbk____",
            "kwwwwwwwwwwk____",
            "kwggggwwwwwk__o_",
            "kwwwwwwwwwwk_oyo",
            "kwgggggwwwwkoyyo",
            "kwwwwwwwwwwoyyo_",
            "kwggggwwwwoyyo__",
            "kwwwwwwwwoyyo___",
            "kwgggwwwoyyo____",
            "kwwwwwwkkyo_____",
            "kwwwwwwkkk______",
            "kkkkkkkkk_______",
            "________________",
        }};
    return picture;
}

}  // namespace infotrakon::panel
