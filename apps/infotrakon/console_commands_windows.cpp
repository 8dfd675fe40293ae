// infotrakon.exe on Windows is a console program: it prints the panel and runs queries. The
// panel's window there is the control ITrakon.ocx in its host program.
#include "calendar_command.h"
#include "command_line.h"
#include "demo.h"
#include "qt_commands.h"

namespace infotrakon::app {
namespace {

[[noreturn]] void NoWindowHere(const char* command) {
    throw UsageError{std::string(command) +
                     " is not part of infotrakon.exe: on Windows the panel's window is "
                     "ITrakon.ocx in its host program; print and query work here"};
}

}  // namespace

int ShowPanel(const PanelOptions&, const std::vector<std::string>&) { NoWindowHere("show"); }

int WritePanelScreenshot(const PanelOptions&, const std::string&, const std::vector<std::string>&) {
    NoWindowHere("screenshot");
}

PanelOptions PrepareDemo(const PanelOptions&) { NoWindowHere("demo"); }

int RunCalendar(const CalendarOptions&) {
    throw UsageError{
        "calendar is not part of infotrakon.exe: it runs on Linux, beside a host under Wine; "
        "print and query work here"};
}

}  // namespace infotrakon::app
