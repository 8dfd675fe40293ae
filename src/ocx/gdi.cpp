#include "ocx/gdi.h"

#include <cmath>
#include <vector>

#include "core/text_encoding.h"
#include "ocx/gdi_count.h"

namespace infotrakon::ocx {

int Pixels(panel::Twips twips, int dpi) {
    return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / 1440.0));
}

panel::Twips Twips(int pixels, int dpi) { return static_cast<panel::Twips>(pixels * 1440.0 / dpi); }

int ScreenDpi() {
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

FontSet::~FontSet() {
    for (const auto& [key, font] : fonts_) Delete(font);
}

HFONT FontSet::Get(const panel::Font& font) {
    const auto key = std::make_tuple(font.name, font.size, font.weight, font.charset);
    if (const auto found = fonts_.find(key); found != fonts_.end()) return found->second;
    const std::wstring face = Utf8ToWide(font.name);
    const int height = -static_cast<int>(std::lround(font.size * dpi_ / 72.0));
    const HFONT made = Counted(CreateFontW(height, 0, 0, 0, font.weight, FALSE, FALSE, FALSE,
                                           static_cast<DWORD>(font.charset), OUT_DEFAULT_PRECIS,
                                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                           DEFAULT_PITCH | FF_SWISS, face.c_str()));
    fonts_[key] = made;
    return made;
}

GdiTextMetrics::GdiTextMetrics() : dc_(Counted(CreateCompatibleDC(nullptr))), fonts_(ScreenDpi()) {}

GdiTextMetrics::~GdiTextMetrics() { Delete(dc_); }

panel::TextSize GdiTextMetrics::Measure(std::string_view utf8Text, const panel::Font& font) const {
    const std::wstring text = Utf8ToWide(utf8Text);
    const HGDIOBJ previous = SelectObject(dc_, fonts_.Get(font));
    SIZE size{};
    GetTextExtentPoint32W(dc_, text.c_str(), static_cast<int>(text.size()), &size);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc_, &metrics);
    SelectObject(dc_, previous);
    return {Twips(size.cx, fonts_.dpi()), Twips(metrics.tmHeight, fonts_.dpi())};
}

HBITMAP DrawPicture(const panel::VectorPicture& picture, COLORREF ground) {
    const HDC screen = GetDC(nullptr);
    const HDC dc = Counted(CreateCompatibleDC(screen));
    const HBITMAP bitmap = Counted(CreateCompatibleBitmap(screen, picture.width, picture.height));
    ReleaseDC(nullptr, screen);
    const HGDIOBJ previousBitmap = SelectObject(dc, bitmap);
    const RECT all{0, 0, picture.width, picture.height};
    const HBRUSH groundBrush = Counted(CreateSolidBrush(ground));
    FillRect(dc, &all, groundBrush);
    Delete(groundBrush);
    const auto colour = [](const panel::Rgb& rgb) { return RGB(rgb.red, rgb.green, rgb.blue); };
    const auto point = [](const panel::PicturePoint& at) {
        return POINT{static_cast<LONG>(std::floor(at.x)), static_cast<LONG>(std::floor(at.y))};
    };
    for (const panel::PictureShape& shape : picture.shapes) {
        const HPEN pen =
            shape.outline
                ? Counted(CreatePen(PS_SOLID, static_cast<int>(std::lround(shape.penWidth)),
                                    colour(shape.pen)))
                : static_cast<HPEN>(GetStockObject(NULL_PEN));
        const HBRUSH brush = shape.filled ? Counted(CreateSolidBrush(colour(shape.fill)))
                                          : static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
        const HGDIOBJ previousPen = SelectObject(dc, pen);
        const HGDIOBJ previousBrush = SelectObject(dc, brush);
        std::vector<POINT> points;
        for (const panel::PicturePoint& at : shape.points) points.push_back(point(at));
        using Kind = panel::PictureShape::Kind;
        switch (shape.kind) {
            case Kind::kPolygon:
                Polygon(dc, points.data(), static_cast<int>(points.size()));
                break;
            case Kind::kPolyline:
                Polyline(dc, points.data(), static_cast<int>(points.size()));
                break;
            case Kind::kArc: {
                const double centreX = (shape.points[0].x + shape.points[1].x) / 2;
                const double centreY = (shape.points[0].y + shape.points[1].y) / 2;
                const double radius = (shape.points[1].x - shape.points[0].x) / 2;
                const auto at = [&](double degrees) {
                    const double radians = degrees * 3.14159265358979 / 180;
                    return POINT{
                        static_cast<LONG>(std::lround(centreX + radius * std::cos(radians))),
                        static_cast<LONG>(std::lround(centreY - radius * std::sin(radians)))};
                };
                const POINT start = at(shape.startDegrees);
                const POINT end = at(shape.startDegrees + shape.spanDegrees);
                SetArcDirection(dc, AD_COUNTERCLOCKWISE);
                Arc(dc, points[0].x, points[0].y, points[1].x + 1, points[1].y + 1, start.x,
                    start.y, end.x, end.y);
                break;
            }
        }
        SelectObject(dc, previousPen);
        SelectObject(dc, previousBrush);
        if (shape.outline) Delete(pen);
        if (shape.filled) Delete(brush);
    }
    SelectObject(dc, previousBitmap);
    Delete(dc);
    return bitmap;
}

}  // namespace infotrakon::ocx
