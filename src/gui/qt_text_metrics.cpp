#include "gui/qt_text_metrics.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QScreen>

namespace infotrakon::gui {

QFont QtFont(const panel::Font& font) {
    // Where the design's bitmap face is missing, the metric-compatible sans faces stand in
    // before fontconfig's general choice, so that captions keep close to their design widths.
    static const bool substituted = [] {
        QFont::insertSubstitutions(
            "MS Sans Serif", {"Microsoft Sans Serif", "Liberation Sans", "Arial", "DejaVu Sans"});
        return true;
    }();
    (void)substituted;
    QFont qt(QString::fromStdString(font.name));
    qt.setStyleHint(QFont::SansSerif);
    qt.setPointSizeF(font.size);
    qt.setWeight(font.bold() ? QFont::Bold : QFont::Normal);
    return qt;
}

double TwipsPerPixel() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen != nullptr ? screen->logicalDotsPerInch() : 96.0;
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}

panel::TextSize QtTextMetrics::Measure(std::string_view utf8Text, const panel::Font& font) const {
    const QFontMetricsF metrics(QtFont(font));
    const QString text =
        QString::fromUtf8(utf8Text.data(), static_cast<qsizetype>(utf8Text.size()));
    const double twips = TwipsPerPixel();
    return {static_cast<panel::Twips>(metrics.horizontalAdvance(text) * twips),
            static_cast<panel::Twips>(metrics.height() * twips)};
}

}  // namespace infotrakon::gui
