#include "panel/text_metrics.h"

#include <cmath>

#include "core/text_encoding.h"

namespace infotrakon::panel {
namespace {

// Advance width in thousandths of the em, by character class.
int AdvanceOf(char32_t c) {
    if (c == ' ') return 278;
    if (c == 'i' || c == 'l' || c == 'j' || c == 'I' || c == '.' || c == ',' || c == ':' ||
        c == ';' || c == '\'' || c == '!' || c == '|' || c == 0xED /* í */)
        return 260;
    if (c == 'f' || c == 't' || c == 'r' || c == '(' || c == ')' || c == '-') return 333;
    if (c == 'm' || c == 'w' || c == 'M' || c == 'W') return 833;
    if (c >= '0' && c <= '9') return 556;
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE) || c == 0x10C || c == 0x160 ||
        c == 0x17D || c == 0x158 || c == 0x10E || c == 0x164 || c == 0x147 || c == 0x11A)
        return 667;
    return 530;
}

}  // namespace

TextSize FixedTextMetrics::Measure(std::string_view utf8Text, const Font& font) const {
    const double emTwips = font.size * 20.0;  // one point is 20 twips
    double thousandths = 0;
    for (std::size_t i = 0; i < utf8Text.size();)
        thousandths += AdvanceOf(NextUtf8Character(utf8Text, i).code);
    double width = thousandths * emTwips / 1000.0;
    if (font.bold()) width *= 1.1;
    // Whole pixels, as a screen draws them: 15 twips to the pixel at 96 dpi.
    const double pixels = std::ceil(width / 15.0);
    const double lineHeightPixels = std::ceil(font.size * 96.0 / 72.0 * 1.2);
    return {static_cast<Twips>(pixels * 15.0), static_cast<Twips>(lineHeightPixels * 15.0)};
}

const TextMetrics& DefaultTextMetrics() {
    static const FixedTextMetrics metrics;
    return metrics;
}

}  // namespace infotrakon::panel
