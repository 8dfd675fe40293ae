// The panel on a screen that scales. Qt takes the scale factor from QT_SCALE_FACTOR once per
// process, so ctest runs this suite once for each of 1, 1.25, 1.5 and 2.
#include <gtest/gtest.h>

#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <cmath>

#include "gui/panel_view.h"
#include "gui/refresh_picture.h"
#include "qt_host_fixture.h"

namespace infotrakon::gui {
namespace {

qreal Scale() { return QGuiApplication::primaryScreen()->devicePixelRatio(); }

class PanelScaleTest : public testing::QtHostTest {
  protected:
    // The demo panel at its design size, drawn in the screen's pixels.
    void SetUp() override {
        QtHostTest::SetUp();
        testing::WriteDemo(prefix_ / "drive_c" / "Agenda" / "agenda.mdb", Today());
        StartWith(metrics_);
        view_ = std::make_unique<PanelView>(*control_, nullptr);
        view_->resize(view_->PanelPixels());
        image_ = view_->grab().toImage();
    }

    void TearDown() override {
        view_.reset();
        QtHostTest::TearDown();
    }

    QWidget* Widget(const char* name) const { return view_->WidgetOf(name); }

    // A physical pixel of the drawing from a logical coordinate.
    int Physical(double logical) const { return static_cast<int>(std::floor(logical * Scale())); }
    bool Inked(int x, int y, int threshold = 160) const {
        return qGray(image_.pixel(x, y)) < threshold;
    }
    // Whether any pixel of the column x between the rows top and bottom carries ink.
    bool ColumnInked(int x, int top, int bottom) const {
        for (int y = top; y < bottom; ++y)
            if (Inked(x, y)) return true;
        return false;
    }

    std::unique_ptr<PanelView> view_;
    QImage image_;
};

TEST_F(PanelScaleTest, ElementsSitWhereTheModelPutsThem) {
    const qreal scale = Scale();
    const QString artefact =
        QString("%1/demo-panel-%2x.png").arg(INFOTRAKON_ARTEFACT_DIR).arg(scale);
    EXPECT_TRUE(image_.save(artefact));
    EXPECT_EQ(image_.devicePixelRatio(), scale);
    EXPECT_NEAR(image_.width(), 554 * scale, 1);
    EXPECT_NEAR(image_.height(), 387 * scale, 1);
    // The offscreen screen has 96 logical dots per inch at every scale: 15 twips a point.
    for (const panel::Element* element : Panel().elements()) {
        QWidget* widget = view_->WidgetOf(element->name());
        if (widget == nullptr) continue;
        const QRect expected(static_cast<int>(std::lround(element->left() / 15.0)),
                             static_cast<int>(std::lround(element->top() / 15.0)),
                             static_cast<int>(std::lround(element->width() / 15.0)),
                             static_cast<int>(std::lround(element->height() / 15.0)));
        EXPECT_EQ(widget->geometry(), expected) << element->name();
    }
}

TEST_F(PanelScaleTest, TheListKeepsAllFourFrameLines) {
    const QRect list = Widget("ListView1")->geometry();
    const int left = Physical(list.left()), right = Physical(list.left() + list.width()) - 1;
    const int top = Physical(list.top()), bottom = Physical(list.top() + list.height()) - 1;
    const int middleX = Physical(list.center().x()), middleY = Physical(list.center().y());
    // The frame is drawn light: anything short of the white ground counts.
    const auto lineNear = [&](int x, int y, bool vertical) {
        for (int offset = -2; offset <= 1; ++offset) {
            const int at = (vertical ? x : y) + offset;
            if (vertical ? Inked(at, y, 250) : Inked(x, at, 250)) return true;
        }
        return false;
    };
    EXPECT_TRUE(lineNear(left + 1, middleY, true)) << "left";
    EXPECT_TRUE(lineNear(right, middleY, true)) << "right";
    EXPECT_TRUE(lineNear(middleX, top + 1, false)) << "top";
    EXPECT_TRUE(lineNear(middleX, bottom, false)) << "bottom";
}

// Between a caption's last letter and its amount's first digit, and between that amount
// and its currency, a few columns stay blank; so between the title and the button.
TEST_F(PanelScaleTest, FiguresStayClearOfTheirCaptions) {
    const auto textEnd = [&](const char* name) {
        auto* label = static_cast<QLabel*>(Widget(name));
        return label->alignment() & Qt::AlignRight
                   ? label->x() + label->width()
                   : label->x() + label->fontMetrics().horizontalAdvance(label->text());
    };
    const auto textStart = [&](const char* name) {
        auto* label = static_cast<QLabel*>(Widget(name));
        return label->alignment() & Qt::AlignRight
                   ? label->x() + label->width() -
                         label->fontMetrics().horizontalAdvance(label->text())
                   : label->x();
    };
    const auto expectBlankBetween = [&](const char* before, const char* after) {
        const int from = Physical(textEnd(before)) + 1, to = Physical(textStart(after)) - 1;
        EXPECT_GE(to - from, 2) << before << " runs into " << after;
        const QRect band = Widget(after)->geometry();
        for (int x = from; x < to; ++x)
            EXPECT_FALSE(ColumnInked(x, Physical(band.top()), Physical(band.top() + band.height())))
                << before << " and " << after << " meet at column " << x;
    };
    for (const auto& [caption, amount, currency] : {std::tuple{"Label4", "Label5", "Label6"},
                                                    {"Label7", "Label8", "Label9"},
                                                    {"Label10", "Label11", "Label12"},
                                                    {"Label13", "Label14", "Label15"}}) {
        expectBlankBetween(caption, amount);
        expectBlankBetween(amount, currency);
    }
    const QRect title = Widget("Label16")->geometry();
    EXPECT_LE(Physical(textEnd("Label16")), Physical(Widget("Command2")->x()));
    EXPECT_LE(title.right(), Widget("Command2")->x());
}

// Wine's design face has bitmaps only: it is drawn one to one, and a scalable face takes
// its place on a screen that scales.
TEST_F(PanelScaleTest, TheDesignFaceOnlyWhereItIsSharp) {
    if (!QFile::exists("/usr/share/wine/fonts/ms_sans_serif.ttf") &&
        !QFontDatabase::families().contains("MS Sans Serif"))
        GTEST_SKIP() << "the design face is not installed (Debian: fonts-wine)";
    const QFontInfo caption(Widget("Label4")->font());
    if (Scale() == 1) {
        EXPECT_EQ(caption.family(), "MS Sans Serif");
    } else {
        EXPECT_TRUE(QFontDatabase::isSmoothlyScalable(caption.family()))
            << caption.family().toStdString();
    }
}

// The button's picture keeps its transparent ground at every scale, and is drawn anew for
// the screen's scale rather than enlarged.
TEST_F(PanelScaleTest, TheRefreshPictureHasNoGround) {
    const QIcon icon = static_cast<QPushButton*>(Widget("Command2"))->icon();
    const QImage shown = icon.pixmap(QSize(16, 17), Scale()).toImage();
    EXPECT_EQ(shown.size(), QSize(16, 17) * Scale());
    EXPECT_EQ(qAlpha(shown.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(shown.pixel(shown.width() - 1, shown.height() - 1)), 0);
    EXPECT_EQ(shown, RefreshPicture(Scale()).toImage().convertToFormat(shown.format()));
}

}  // namespace
}  // namespace infotrakon::gui
