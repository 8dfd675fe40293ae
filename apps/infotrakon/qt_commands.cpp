#include "qt_commands.h"

#include <QApplication>
#include <QPixmap>
#include <cstdlib>
#include <iostream>

#include "gui/host_window.h"
#include "gui/panel_view.h"
#include "gui/qt_text_metrics.h"
#include "panel_run.h"

namespace infotrakon::app {
namespace {

// The Qt application of one command, under the program's name.
struct Application {
    int argc = 1;
    char name[11] = "infotrakon";
    char* argv[2] = {name, nullptr};
    QApplication application{argc, argv};
};

void ReportError(const Error& error) {
    std::cerr << "infotrakon: error " << error.number() << ": " << error.what() << "\n";
}

}  // namespace

bool HasDisplay() {
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY") ||
           (set("QT_QPA_PLATFORM") && std::string(std::getenv("QT_QPA_PLATFORM")) != "offscreen");
}

int ShowPanel(const PanelOptions& options) {
    Application qt;
    const gui::QtTextMetrics metrics;
    PanelRun run = RunPanel(options, metrics);
    gui::HostWindow window(*run.control);
    window.show();
    if (run.error) {
        ReportError(*run.error);
        window.ShowError(*run.error);
    }
    return qt.application.exec();
}

int WritePanelScreenshot(const PanelOptions& options, const std::string& output) {
    if (!HasDisplay()) setenv("QT_QPA_PLATFORM", "offscreen", 0);
    Application qt;
    const gui::QtTextMetrics metrics;
    PanelRun run = RunPanel(options, metrics);
    gui::PanelView view(*run.control, [](const Error& error) { ReportError(error); });
    view.resize(view.PanelPixels());
    view.ensurePolished();
    const QPixmap picture = view.grab();
    if (!picture.save(QString::fromStdString(output), "PNG")) {
        std::cerr << "infotrakon: cannot write " << output << "\n";
        return 1;
    }
    if (run.error) {
        ReportError(*run.error);
        return 1;
    }
    return 0;
}

}  // namespace infotrakon::app
