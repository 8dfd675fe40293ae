// InfoTrakonWidget as a Qt host uses it, on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSignalSpy>
#include <nlohmann/json.hpp>

#include "../control/host_fixture.h"
#include "InfoTrakonWidget.h"

namespace infotrakon::gui {
namespace {

using control::testing::Agenda;

QApplication& Application() {
    static int argc = 1;
    static char name[] = "widget_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* application = new QApplication(argc, argv);
    return *application;
}

class WidgetTest : public control::testing::HostTest {
  protected:
    void SetUp() override {
        Application();
        HostTest::SetUp();
        Agenda agenda;
        agenda.carservis = {{Today(), true, false, 0, Currency{10000}}};
        Write(agenda);
    }
    QString Prefix() const { return QString::fromStdString(prefix_.string()); }
    QString Settings() const { return QString::fromStdString((prefix_ / "settings.reg").string()); }
};

TEST_F(WidgetTest, StartsUpShowsTheModelAndRefreshes) {
    InfoTrakonWidget widget;
    widget.setWinePrefix(Prefix());
    widget.setSettingsFile(Settings());
    const nlohmann::json state = nlohmann::json::parse(widget.stateJson().toStdString());
    EXPECT_EQ(state["elements"]["Label16"]["caption"], "Autodoprava Novák s.r.o.");
    EXPECT_EQ(state["elements"]["Label3"]["caption"], "C:\\Agenda\\agenda.mdb");
    EXPECT_TRUE(state["error"].is_null());
    EXPECT_TRUE(widget.fileExists("C:\\Agenda\\agenda.mdb"));
    EXPECT_FALSE(widget.fileExists("C:\\Agenda"));
    EXPECT_EQ(widget.winePrefix(), Prefix());
    EXPECT_EQ(widget.sizeHint(), QSize(554, 387));

    // The agenda changes under the panel; refresh reads it anew.
    Agenda other;
    other.firma = {Variant("Jiná firma")};
    Write(other);
    widget.refresh();
    EXPECT_EQ(
        nlohmann::json::parse(widget.stateJson().toStdString())["elements"]["Label16"]["caption"],
        "Jiná firma");
}

TEST_F(WidgetTest, AnErrorIsSignalledAndKeptInTheState) {
    InfoTrakonWidget widget;
    widget.setWinePrefix(Prefix());
    QSignalSpy errors(&widget, &InfoTrakonWidget::errorOccurred);
    std::ofstream(prefix_ / "drive_c" / "Agenda" / "agenda.mdb", std::ios::trunc) << "damaged";
    // Setting a property runs the start-up again.
    widget.setSettingsFile(Settings());
    ASSERT_EQ(errors.count(), 1);
    EXPECT_EQ(errors.at(0).at(0).toInt(), 3343);
    const nlohmann::json state = nlohmann::json::parse(widget.stateJson().toStdString());
    EXPECT_EQ(state["error"]["number"], 3343);
}

}  // namespace
}  // namespace infotrakon::gui
