// The Linux program runs every command: the panel's window, its picture and its demo with Qt,
// and the calendar beside a host under Wine.
#include "calendar_command.h"
#include "commands.h"
#include "demo.h"
#include "qt_commands.h"

namespace infotrakon::app {
namespace {

int RunShowCommand(const Command& command) {
    WarnAboutMissingHostFiles(command.panel);
    return ShowPanel(command.panel, command.qtArguments);
}

int RunScreenshotCommand(const Command& command) {
    WarnAboutMissingHostFiles(command.panel);
    return WritePanelScreenshot(command.panel, command.output, command.qtArguments);
}

// The demo's window where a display is there, else its print.
int ShowOrPrint(const PanelOptions& options, const Command& command) {
    try {
        return ShowPanel(options, command.qtArguments);
    } catch (const NoDisplay&) {
        return PrintPanel(options, command.json);
    }
}

int RunDemoCommand(const Command& command) {
    const PanelOptions demo = PrepareDemo(command.panel);
    using Mode = Command::DemoMode;
    switch (command.demoMode) {
        case Mode::kShow:
            return ShowPanel(demo, command.qtArguments);
        case Mode::kPrint:
            return PrintPanel(demo, command.json);
        case Mode::kScreenshot:
            return WritePanelScreenshot(demo, command.output, command.qtArguments);
        case Mode::kAuto:
            break;
    }
    return ShowOrPrint(demo, command);
}

int RunCalendarCommand(const Command& command) {
    WarnAboutMissingHostFiles(command.calendar.host);
    return RunCalendar(command.calendar);
}

}  // namespace

const CommandRun kLinuxCommands[] = {
    {Command::Kind::kShow, RunShowCommand},
    {Command::Kind::kPrint, RunPrintCommand},
    {Command::Kind::kScreenshot, RunScreenshotCommand},
    {Command::Kind::kDemo, RunDemoCommand},
    {Command::Kind::kQuery, RunQueryCommand},
    {Command::Kind::kCalendar, RunCalendarCommand},
};

const Program kThisProgram = {"infotrakon", kLinuxCommands};

}  // namespace infotrakon::app
