#pragma once

#include <string_view>

#include "panel/element.h"

namespace infotrakon::panel {

struct TextSize {
    Twips width = 0;
    Twips height = 0;
};

// Measures a caption in a font, for the auto-size labels. The Qt view supplies one from
// the real font; headless panels use the fixed table below.
class TextMetrics {
  public:
    virtual ~TextMetrics() = default;
    virtual TextSize Measure(std::string_view utf8Text, const Font& font) const = 0;
};

// Character widths of a proportional sans-serif face at 96 dpi, close to what the design
// font gives: wide enough that a version number or a company name grows its label.
class FixedTextMetrics final : public TextMetrics {
  public:
    TextSize Measure(std::string_view utf8Text, const Font& font) const override;
};

const TextMetrics& DefaultTextMetrics();

}  // namespace infotrakon::panel
