#include "qt_commands.h"

#include <QApplication>
#include <QPixmap>
#include <cstdlib>
#include <iostream>

#include "gui/host_follower.h"
#include "gui/host_window.h"
#include "gui/panel_view.h"
#include "gui/qt_text_metrics.h"
#include "panel_run.h"

namespace infotrakon::app {
namespace {

const char* const kWithoutDisplay =
    "infotrakon print prints the panel and infotrakon screenshot OUT.png draws it without one";

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The platform plugins named by -platform (taken out of `qtArguments`), else by
// QT_QPA_PLATFORM; empty when neither names one.
std::string ChosenPlatforms(std::vector<std::string>& qtArguments) {
    std::string chosen = Variable("QT_QPA_PLATFORM");
    for (auto at = qtArguments.begin(); at != qtArguments.end();) {
        if (*at == "-platform" && at + 1 != qtArguments.end()) {
            chosen = *(at + 1);
            at = qtArguments.erase(at, at + 2);
        } else if (at->starts_with("-platform=")) {
            chosen = at->substr(std::string("-platform=").size());
            at = qtArguments.erase(at);
        } else {
            ++at;
        }
    }
    return chosen;
}

// Qt gives up the whole process when none of the plugins it is asked for starts, so it is
// always offered offscreen last; whoever asked for a display then checks which one it got.
void AskQtFor(std::string platforms) {
    if (platforms.find("offscreen") == std::string::npos) platforms += ";offscreen";
    setenv("QT_QPA_PLATFORM", platforms.c_str(), 1);
}

// The Qt application of one command, under the program's name, with Qt's own options.
class Application {
  public:
    explicit Application(const std::vector<std::string>& qtArguments) : words_{"infotrakon"} {
        words_.insert(words_.end(), qtArguments.begin(), qtArguments.end());
        for (std::string& word : words_) argv_.push_back(word.data());
        argv_.push_back(nullptr);
        argc_ = static_cast<int>(words_.size());
        application_ = std::make_unique<QApplication>(argc_, argv_.data());
    }
    int Run() { return application_->exec(); }

  private:
    std::vector<std::string> words_;
    std::vector<char*> argv_;
    int argc_ = 0;
    std::unique_ptr<QApplication> application_;
};

void ReportError(const Error& error) {
    std::cerr << "infotrakon: error " << error.number() << ": " << error.what() << "\n";
}

}  // namespace

int ShowPanel(const PanelOptions& options, const std::vector<std::string>& qtArguments) {
    std::vector<std::string> arguments = qtArguments;
    std::string platforms = ChosenPlatforms(arguments);
    const std::string x11 = Variable("DISPLAY"), wayland = Variable("WAYLAND_DISPLAY");
    if (platforms.empty()) {
        if (x11.empty() && wayland.empty())
            throw NoDisplay{
                "no display to show the panel on: DISPLAY and WAYLAND_DISPLAY are "
                "not set; " +
                std::string(kWithoutDisplay)};
        platforms = x11.empty() ? "wayland" : wayland.empty() ? "xcb" : "xcb;wayland";
    }
    const bool offscreenWanted = platforms.starts_with("offscreen");
    AskQtFor(platforms);
    Application qt(arguments);
    if (!offscreenWanted && QGuiApplication::platformName() == "offscreen")
        throw NoDisplay{"cannot open the display" + (x11.empty() ? "" : " \"" + x11 + "\"") +
                        (wayland.empty() ? "" : " (Wayland \"" + wayland + "\")") +
                        " with the Qt platform " + platforms + "; " + kWithoutDisplay};

    const gui::QtTextMetrics metrics;
    PanelRun run = RunPanel(options, metrics);
    gui::HostWindow window(*run.control);
    if (options.follow) new gui::HostFollower(*run.control, window.view(), SettingsFileOf(options));
    window.show();
    if (run.error) {
        ReportError(*run.error);
        window.ShowError(*run.error);
    }
    return qt.Run();
}

int WritePanelScreenshot(const PanelOptions& options, const std::string& output,
                         const std::vector<std::string>& qtArguments) {
    std::vector<std::string> arguments = qtArguments;
    const std::string platforms = ChosenPlatforms(arguments);
    AskQtFor(platforms.empty() ? "offscreen" : platforms);
    Application qt(arguments);
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
