#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

// The panel's two pictures as data, for every view to draw in its own way: the refresh
// button's picture as shapes, sharp at any scale, and the control's toolbox picture as the
// 16-colour pixels a toolbox shows.
namespace infotrakon::panel {

struct Rgb {
    std::uint8_t red = 0, green = 0, blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct PicturePoint {
    float x = 0, y = 0;  // in the picture's pixels, from its top left corner
};

// One shape: a closed polygon (filled, outlined when `outline` is set), an open line, or an
// arc of the ellipse in `box` from `startDegrees` counter-clockwise over `spanDegrees`.
struct PictureShape {
    enum class Kind { kPolygon, kPolyline, kArc };
    Kind kind = Kind::kPolygon;
    std::vector<PicturePoint> points{};  // polygon and polyline; the arc's box as two corners
    Rgb pen{};
    float penWidth = 1;
    bool outline = true;
    bool filled = false;
    Rgb fill{};
    float startDegrees = 0;
    float spanDegrees = 0;
};

struct VectorPicture {
    int width = 0;
    int height = 0;
    std::vector<PictureShape> shapes{};  // drawn in order, on a transparent ground
};

// The refresh button's picture, 16 x 17: a white dog-eared sheet with a grey border and two
// green arrows chasing each other round a circle.
const VectorPicture& RefreshPicture();

// A picture of 16 colours: one character a pixel, a row a line, each character's colour in
// the palette.
struct PixelPicture {
    int width = 0;
    int height = 0;
    std::string_view colours{};  // the characters, in palette order
    std::array<Rgb, 16> palette{};
    std::vector<std::string_view> rows{};

    // The palette index of the pixel at (x, y).
    int IndexAt(int x, int y) const;
};

// The control's toolbox picture, 16 x 15 in 16 colours: a small window with a blue title bar
// and a pen.
const PixelPicture& ToolboxPicture();

}  // namespace infotrakon::panel
