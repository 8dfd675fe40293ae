#pragma once

#include <QFont>

#include "panel/text_metrics.h"

namespace infotrakon::gui {

// The Qt font of a panel font: the face the design names, with fontconfig's sans-serif
// stand-in where the face is not installed.
QFont QtFont(const panel::Font& font);

// Twips per pixel of the primary screen (15 at 96 dpi).
double TwipsPerPixel();

// Measures captions with the real fonts, for the auto-size labels.
class QtTextMetrics final : public panel::TextMetrics {
  public:
    panel::TextSize Measure(std::string_view utf8Text, const panel::Font& font) const override;
};

}  // namespace infotrakon::gui
