#include "gui/qt_text_metrics.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QScreen>

namespace infotrakon::gui {

// Debian's fonts-wine ships a free face made to the design face's metrics, in a folder that
// fontconfig does not search.
constexpr const char* kWineDesignFace = "/usr/share/wine/fonts/ms_sans_serif.ttf";

QFont QtFont(const panel::Font& font) {
    // The design face where it is installed; where it is missing, the metric-compatible sans
    // faces stand in before fontconfig's general choice, so that captions keep close to their
    // design widths.
    // Wine's face holds bitmaps of three pixel sizes and no outlines or bold: it is drawn one
    // to one only, so on a screen that scales, and for bold captions (the title and the
    // amounts), the metric-compatible faces take its place.
    static const bool bitmapsOnly = [] {
        const bool fromWine = !QFontDatabase::families().contains("MS Sans Serif") &&
                              QFile::exists(kWineDesignFace) &&
                              QFontDatabase::addApplicationFont(kWineDesignFace) >= 0;
        QFont::insertSubstitutions(
            "MS Sans Serif", {"Microsoft Sans Serif", "Liberation Sans", "Arial", "DejaVu Sans"});
        QFont::insertSubstitutions("Microsoft Sans Serif",
                                   {"Liberation Sans", "Arial", "DejaVu Sans"});
        return fromWine || !QFontDatabase::isSmoothlyScalable("MS Sans Serif");
    }();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const bool scaled = screen != nullptr && screen->devicePixelRatio() != 1.0;
    const bool standIn = bitmapsOnly && (font.bold() || scaled) && font.name == "MS Sans Serif";
    QFont qt(standIn ? QStringLiteral("Microsoft Sans Serif") : QString::fromStdString(font.name));
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
