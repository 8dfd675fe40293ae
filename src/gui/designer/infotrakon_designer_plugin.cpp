#include "infotrakon_designer_plugin.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>

#include "InfoTrakonWidget.h"
#include "panel/pictures.h"

InfoTrakonDesignerPlugin::InfoTrakonDesignerPlugin(QObject* parent) : QObject(parent) {}

QString InfoTrakonDesignerPlugin::name() const { return "InfoTrakonWidget"; }
QString InfoTrakonDesignerPlugin::group() const { return "InfoTrakon"; }
QString InfoTrakonDesignerPlugin::toolTip() const {
    return QString::fromUtf8("Informační plocha programu Trakon 3");
}
QString InfoTrakonDesignerPlugin::whatsThis() const {
    return QString::fromUtf8(
        "Náklady, plánované opravy a termíny z agendy, kterou hostitelský program otevřel "
        "naposledy.");
}
QString InfoTrakonDesignerPlugin::includeFile() const { return "InfoTrakonWidget.h"; }
bool InfoTrakonDesignerPlugin::isContainer() const { return false; }

QIcon InfoTrakonDesignerPlugin::icon() const {
    const infotrakon::panel::PixelPicture& picture = infotrakon::panel::ToolboxPicture();
    QImage image(picture.width, picture.height, QImage::Format_RGB32);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const infotrakon::panel::Rgb& rgb =
                picture.palette[static_cast<std::size_t>(picture.IndexAt(x, y))];
            image.setPixel(x, y, qRgb(rgb.red, rgb.green, rgb.blue));
        }
    return QIcon(QPixmap::fromImage(image));
}

QWidget* InfoTrakonDesignerPlugin::createWidget(QWidget* parent) {
    return new InfoTrakonWidget(parent);
}

QString InfoTrakonDesignerPlugin::domXml() const {
    return "<ui language=\"c++\"><widget class=\"InfoTrakonWidget\" name=\"infoTrakon\">"
           "<property name=\"geometry\"><rect><x>0</x><y>0</y><width>554</width>"
           "<height>387</height></rect></property></widget></ui>";
}
