// The panel's Qt face on the offscreen platform: real widgets, real fonts.
#include "gui/panel_view.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>
#include <fstream>

#include "gui/refresh_picture.h"
#include "qt_host_fixture.h"

namespace infotrakon::gui {
namespace {

using control::testing::Action;
using control::testing::Agenda;

using testing::Application;
using testing::WriteDemo;
using PanelViewTest = testing::QtHostTest;

TEST_F(PanelViewTest, ElementsSitAtTheirPlacesInTheirFonts) {
    WriteDemo(prefix_ / "drive_c" / "Agenda" / "agenda.mdb", Today());
    Show();
    ASSERT_NEAR(TwipsPerPixel(), 15.0, 0.01);  // the offscreen screen has 96 dpi
    EXPECT_EQ(Shown<QLabel>("Label4")->geometry().topLeft(), QPoint(8, 32));
    EXPECT_EQ(Shown<QLabel>("Label4")->font().pointSizeF(), 9.75);
    EXPECT_FALSE(Shown<QLabel>("Label4")->font().bold());
    EXPECT_TRUE(Shown<QLabel>("Label5")->font().bold());
    EXPECT_TRUE(Shown<QLabel>("Label5")->alignment() & Qt::AlignRight);
    EXPECT_EQ(Shown<QLabel>("Label16")->font().pointSizeF(), 13.5);
    EXPECT_EQ(Shown<QLabel>("Label16")->text(), "Autodoprava Novák s.r.o.");
    // An auto-size label is measured with the real font.
    const QFontMetrics title(Shown<QLabel>("Label16")->font());
    EXPECT_NEAR(Panel().Label16.width() / 15.0, title.horizontalAdvance("Autodoprava Novák s.r.o."),
                2);
    EXPECT_EQ(Shown<QLabel>("Label17")->text(), "1.0.1");
    EXPECT_EQ(window_->view().WidgetOf("Label3"), nullptr);  // hidden elements have no widget
    EXPECT_EQ(window_->view().WidgetOf("Adodc1"), nullptr);
    auto* combo = Shown<QComboBox>("Combo2");
    EXPECT_FALSE(combo->isEditable());
    EXPECT_EQ(combo->count(), 6);
    EXPECT_EQ(combo->currentText(), "Dnes");
    auto* list = Shown<QTreeWidget>("ListView1");
    EXPECT_EQ(list->columnCount(), 5);
    EXPECT_EQ(list->headerItem()->text(4), "Částka");
    EXPECT_EQ(list->columnWidth(3), static_cast<int>(Panel().ListView1.ColumnWidth(4) / 15 + 0.5));
    EXPECT_FALSE(Shown<QPushButton>("Command2")->icon().isNull());
}

TEST_F(PanelViewTest, ClicksReachThePanel) {
    WriteDemo(prefix_ / "drive_c" / "Agenda" / "agenda.mdb", Today());
    Show();
    auto* list = Shown<QTreeWidget>("ListView1");
    const int todayRows = list->topLevelItemCount();
    ASSERT_TRUE(Shown<QRadioButton>("Option4")->isVisible());
    QTest::mouseClick(Shown<QRadioButton>("Option4"), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(Panel().Option4.value());
    EXPECT_FALSE(Panel().Option1.value());
    EXPECT_TRUE(Shown<QRadioButton>("Option4")->isChecked());
    EXPECT_FALSE(Shown<QRadioButton>("Option1")->isChecked());
    EXPECT_EQ(list->columnWidth(1), 0);

    QTest::mouseClick(Shown<QRadioButton>("Option1"), Qt::LeftButton, {}, QPoint(5, 5));
    auto* combo = Shown<QComboBox>("Combo2");
    combo->setFocus();
    for (int step = 0; step < 5; ++step) QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(Panel().Combo2.text(), "Tento měsíc");
    EXPECT_EQ(static_cast<std::size_t>(list->topLevelItemCount()),
              Panel().ListView1.items().size());
    EXPECT_GT(list->topLevelItemCount(), todayRows);
    EXPECT_EQ(list->topLevelItem(0)->text(3),
              QString::fromStdString(Panel().ListView1.items()[0].subItems[2]));

    const auto before = backend_->opened.size();
    QTest::mouseClick(Shown<QPushButton>("Command2"), Qt::LeftButton);
    EXPECT_EQ(backend_->opened.size(), before + 6);
}

// The keyboard walks the panel in the order of the model's tab indexes, not the order the
// widgets were made in: Command2, ListView1, Combo2, then the option group at its chosen
// button, whose arrow keys choose a view as a click does.
TEST_F(PanelViewTest, TabFollowsTheTabIndexesAndTheArrowsChooseAView) {
    WriteDemo(prefix_ / "drive_c" / "Agenda" / "agenda.mdb", Today());
    Show();
    window_->activateWindow();
    QApplication::setActiveWindow(window_.get());
    Shown<QPushButton>("Command2")->setFocus();
    const char* const stops[] = {"Command2", "ListView1", "Combo2", "Option1"};
    for (const char* stop : stops) {
        EXPECT_EQ(QApplication::focusWidget(), window_->view().WidgetOf(stop)) << stop;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    Shown<QRadioButton>("Option1")->setFocus();
    QTest::keyClick(Shown<QRadioButton>("Option1"), Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), window_->view().WidgetOf("Option2"));
    EXPECT_TRUE(Panel().Option2.value());
    EXPECT_EQ(static_cast<std::size_t>(Shown<QTreeWidget>("ListView1")->topLevelItemCount()),
              Panel().ListView1.items().size());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), window_->view().WidgetOf("Combo2"));
}

// A screen reader reads the panel through QAccessible: the company, the four figures, the
// button's caption and the option buttons with their states.
TEST_F(PanelViewTest, AScreenReaderReadsTheFiguresTheButtonAndTheOptions) {
    WriteDemo(prefix_ / "drive_c" / "Agenda" / "agenda.mdb", Today());
    Show();
    const auto read = [&](const char* name) {
        QAccessibleInterface* widget =
            QAccessible::queryAccessibleInterface(window_->view().WidgetOf(name));
        return widget != nullptr ? widget->text(QAccessible::Name).toStdString() : std::string();
    };
    EXPECT_EQ(read("Label16"), Panel().Label16.caption());
    for (const panel::Label* figure :
         {&Panel().Label5, &Panel().Label8, &Panel().Label11, &Panel().Label14}) {
        EXPECT_FALSE(figure->caption().empty()) << figure->name();
        EXPECT_EQ(read(figure->name().c_str()), figure->caption()) << figure->name();
    }
    EXPECT_EQ(read("Command2"), Panel().Command2.caption());
    for (const char* option : {"Option1", "Option2"}) {
        const auto* model = static_cast<const panel::OptionButton*>(Panel().Find(option));
        EXPECT_EQ(read(option), model->caption()) << option;
        QAccessibleInterface* button =
            QAccessible::queryAccessibleInterface(window_->view().WidgetOf(option));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->state().checked != 0, model->value()) << option;
    }
}

// Resident memory of this process, in bytes.
long ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

// A host keeps the panel open all day: a thousand refreshes, period and view choices leave no
// widget, cursor or memory behind.
TEST_F(PanelViewTest, AThousandEventsLeaveNothingBehind) {
    WriteDemo(prefix_ / "drive_c" / "Agenda" / "agenda.mdb", Today());
    Show();
    auto* refresh = Shown<QPushButton>("Command2");
    auto* combo = Shown<QComboBox>("Combo2");
    const char* const options[] = {"Option1", "Option2", "Option3", "Option4"};
    const auto cycle = [&](int i) {
        QTest::mouseClick(refresh, Qt::LeftButton);
        combo->setCurrentIndex(i % 6);
        QTest::mouseClick(Shown<QRadioButton>(options[i % 4]), Qt::LeftButton, {}, QPoint(5, 5));
        // What the test's own recording backend writes down is not the panel's.
        backend_->opened.clear();
        backend_->recordsets.clear();
    };
    for (int i = 0; i < 100; ++i) cycle(i);
    const auto widgets = QApplication::allWidgets().size();
    const long settled = ResidentBytes();
    for (int i = 100; i < 1000; ++i) {
        cycle(i);
        ASSERT_EQ(QApplication::overrideCursor(), nullptr) << "the busy cursor stayed, cycle " << i;
    }
    EXPECT_EQ(QApplication::allWidgets().size(), widgets);
    const long grown = ResidentBytes() - settled;
    RecordProperty("resident_growth_bytes", std::to_string(grown));
    EXPECT_LT(grown, 1L << 20) << grown << " bytes more after 900 cycles";
}

TEST_F(PanelViewTest, TheHostsResizeLaysThePanelOut) {
    Write(Agenda{});
    HostWindow& window = Show();
    window.resize(400, 267 + window.statusBar()->height());  // 6000 x 4005 twips
    QApplication::processEvents();
    ASSERT_EQ(window.view().size(), QSize(400, 267));
    EXPECT_EQ(Panel().width(), 6000);
    EXPECT_EQ(Panel().Command2.left(), 4775);
    EXPECT_EQ(Panel().ListView1.width(), 5760);
    EXPECT_EQ(Panel().Combo2.left(), 3865);
    EXPECT_EQ(Panel().Label5.left(), 4060);
    EXPECT_EQ(Panel().Label6.left(), 5410);
    EXPECT_EQ(Shown<QPushButton>("Command2")->x(), 318);  // 4775 / 15
    EXPECT_EQ(Shown<QTreeWidget>("ListView1")->width(), 384);
    EXPECT_EQ(Shown<QComboBox>("Combo2")->x(), 258);
    EXPECT_EQ(Shown<QTreeWidget>("ListView1")->columnWidth(3), 111);  // 1660 twips
}

TEST_F(PanelViewTest, TheHostShowsAnError) {
    Agenda agenda;
    agenda.carservis = {
        {Date::FromCivil(2026, 12, 5), true, false, 0, Currency{10000}, Null{}, 0.0, "bez km"}};
    Write(agenda);
    HostWindow& window = Show();
    EXPECT_TRUE(window.statusBar()->currentMessage().isEmpty());
    QTest::mouseClick(Shown<QRadioButton>("Option4"), Qt::LeftButton, {}, QPoint(5, 5));
    auto* combo = Shown<QComboBox>("Combo2");
    combo->setFocus();
    QTest::mouseClick(Shown<QRadioButton>("Option1"), Qt::LeftButton, {}, QPoint(5, 5));
    for (int step = 0; step < 3; ++step) QTest::keyClick(combo, Qt::Key_Down);  // the last week
    EXPECT_EQ(Panel().Combo2.text(), "Za poslední týden");
    EXPECT_TRUE(window.statusBar()->currentMessage().startsWith("Chyba 94: Invalid use of Null"))
        << window.statusBar()->currentMessage().toStdString();
}

TEST_F(PanelViewTest, ScreenshotOfTheDemoPanel) {
    WriteDemo(prefix_ / "drive_c" / "Agenda" / "agenda.mdb", Today());
    StartWith(metrics_);
    PanelView view(*control_, nullptr);
    view.resize(view.PanelPixels());
    const QImage picture = view.grab().toImage();
    ASSERT_EQ(picture.size(), QSize(554, 387));
    const std::string artefact = std::string(INFOTRAKON_ARTEFACT_DIR) + "/demo-panel.png";
    EXPECT_TRUE(picture.save(QString::fromStdString(artefact)));
    const auto dark = [&](QRect area) {
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (qGray(picture.pixel(x, y)) < 100) ++count;
        return count;
    };
    EXPECT_EQ(picture.pixel(300, 120), qRgb(255, 255, 255));  // the white panel
    EXPECT_GT(dark(QRect(8, 0, 200, 22)), 200);               // the title
    EXPECT_GT(dark(QRect(420, 30, 90, 62)), 100);             // the four figures
    EXPECT_GT(dark(QRect(8, 230, 400, 16)), 50);              // the list's first row
    EXPECT_EQ(dark(QRect(20, 300, 400, 60)), 0);              // below the last row
}

// What the view must cut shows an ellipsis, and the whole text is in its tooltip and
// accessible name: a list cell of the narrow "Datum" column, an amount too long for its box.
TEST_F(PanelViewTest, ACutTextShowsWhole) {
    Agenda agenda;
    agenda.carservis = {{Today(), true, true, 0, Currency{363486841628}, 1520, 0.0, "Oprava"}};
    Write(agenda);
    Show();
    auto* list = Shown<QTreeWidget>("ListView1");
    ASSERT_EQ(list->topLevelItemCount(), 0);  // Option1: planned, this one is done
    control_->Click("Option3");
    ASSERT_EQ(list->topLevelItemCount(), 1);
    QTreeWidgetItem* row = list->topLevelItem(0);
    EXPECT_EQ(row->toolTip(0), "9.12.2026");
    EXPECT_EQ(row->toolTip(4), row->text(4));
    auto* amount = Shown<QLabel>("Label5");
    EXPECT_EQ(amount->accessibleName(), QString::fromUtf8(" 36348 684,16"));
    EXPECT_EQ(amount->toolTip(), amount->accessibleName());
    EXPECT_TRUE(amount->text().startsWith(QString::fromUtf8("…"))) << amount->text().toStdString();
    EXPECT_TRUE(amount->text().endsWith("684,16")) << amount->text().toStdString();
    // A double-click on a divider fits the column to its contents.
    const int before = list->columnWidth(0);
    emit list->header()->sectionHandleDoubleClicked(0);
    EXPECT_GT(list->columnWidth(0), before);
    EXPECT_GE(list->columnWidth(0), list->fontMetrics().horizontalAdvance("9.12.2026"));
}

// The host window does not shrink below the size at which a figure would cover its caption.
TEST_F(PanelViewTest, TheWindowKeepsFiguresClearOfTheirCaptions) {
    Write(Agenda{});
    HostWindow& window = Show();
    window.resize(100, 100);
    QApplication::processEvents();
    panel::Panel& panel = Panel();
    for (const auto& [caption, amount] : {std::pair{&panel.Label4, &panel.Label5},
                                          {&panel.Label7, &panel.Label8},
                                          {&panel.Label10, &panel.Label11},
                                          {&panel.Label13, &panel.Label14}})
        EXPECT_GE(amount->left(), caption->left() + caption->width()) << amount->name();
    EXPECT_GE(window.view().width(), window.view().minimumWidth());
}

TEST(RefreshPicture, IsASheetWithGreenArrows) {
    Application();
    const QImage picture = RefreshPicture().toImage();
    EXPECT_EQ(picture.size(), QSize(16, 17));
    // On a transparent ground: the button's face shows through.
    EXPECT_EQ(qAlpha(picture.pixel(0, 0)), 0);
    EXPECT_EQ(picture.pixel(4, 2), qRgb(255, 255, 255));
    int green = 0;
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 16; ++x)
            if (qGreen(picture.pixel(x, y)) > 100 && qRed(picture.pixel(x, y)) < 80) ++green;
    EXPECT_GT(green, 10);
    // Drawn anew at twice the size, not enlarged: sharp on a screen of scale 2.
    const QImage sharp = RefreshPicture(2).toImage();
    EXPECT_EQ(sharp.size(), QSize(32, 34));
    EXPECT_EQ(qAlpha(sharp.pixel(1, 1)), 0);
    EXPECT_EQ(sharp.pixel(8, 4), qRgb(255, 255, 255));
}

}  // namespace
}  // namespace infotrakon::gui
