// The panel's Qt face in a test host: real widgets and real fonts on the offscreen platform.
#pragma once

#include <QApplication>
#include <filesystem>
#include <memory>

#include "../control/host_fixture.h"
#include "gui/host_window.h"
#include "gui/panel_view.h"
#include "gui/qt_text_metrics.h"
#include "mkagenda/description.h"

namespace infotrakon::gui::testing {

inline QApplication& Application() {
    static int argc = 1;
    static char name[] = "gui_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* application = new QApplication(argc, argv);
    return *application;
}

inline void WriteDemo(const std::filesystem::path& path, const Date& today) {
    mkagenda::JetWriter writer;
    mkagenda::WriteDemoAgenda(writer, today);
    writer.Finish(path.string());
}

class QtHostTest : public control::testing::HostTest {
  protected:
    void SetUp() override {
        Application();
        HostTest::SetUp();
    }

    // The panel started with the Qt metrics, in a host window at the design size.
    HostWindow& Show() {
        StartWith(metrics_);
        window_ = std::make_unique<HostWindow>(*control_, false);
        window_->show();
        QApplication::processEvents();
        return *window_;
    }

    void StartWith(const panel::TextMetrics& metrics) {
        control::HostEnvironment environment = Environment();
        environment.textMetrics = &metrics;
        control_ = std::make_unique<control::InfoTrakon>(std::move(environment));
        control_->Initialize();
    }

    void TearDown() override {
        window_.reset();
        HostTest::TearDown();
    }

    template <typename Widget>
    Widget* Shown(const char* name) {
        return dynamic_cast<Widget*>(window_->view().WidgetOf(name));
    }

    QtTextMetrics metrics_;
    std::unique_ptr<HostWindow> window_;
};

}  // namespace infotrakon::gui::testing
