#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <string_view>
#include <tuple>

#include "panel/element.h"
#include "panel/pictures.h"
#include "panel/text_metrics.h"

// The panel's texts, fonts, sizes and pictures in the platform's drawing terms.
namespace infotrakon::ocx {

// Twips to device pixels at `dpi`, and back.
int Pixels(panel::Twips twips, int dpi);
panel::Twips Twips(int pixels, int dpi);
// The screen's dots per inch.
int ScreenDpi();

// The panel's fonts at one resolution, made once each and freed with the set.
class FontSet {
  public:
    explicit FontSet(int dpi) : dpi_(dpi) {}
    ~FontSet();
    FontSet(const FontSet&) = delete;
    FontSet& operator=(const FontSet&) = delete;
    HFONT Get(const panel::Font& font);
    int dpi() const { return dpi_; }

  private:
    int dpi_;
    std::map<std::tuple<std::string, double, int, int>, HFONT> fonts_;
};

// Text sizes measured in the real fonts on the screen, for the auto-size labels.
class GdiTextMetrics final : public panel::TextMetrics {
  public:
    GdiTextMetrics();
    ~GdiTextMetrics() override;
    GdiTextMetrics(const GdiTextMetrics&) = delete;
    GdiTextMetrics& operator=(const GdiTextMetrics&) = delete;
    panel::TextSize Measure(std::string_view utf8Text, const panel::Font& font) const override;

  private:
    HDC dc_;
    mutable FontSet fonts_;
};

// A picture of shapes drawn at 1:1 into a new bitmap of its size, on `ground`.
HBITMAP DrawPicture(const panel::VectorPicture& picture, COLORREF ground);

}  // namespace infotrakon::ocx
