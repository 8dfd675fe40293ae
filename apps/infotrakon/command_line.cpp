#include "command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>

namespace infotrakon::app {
namespace {

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToUtf8(const QString& text) { return text.toUtf8().toStdString(); }

Command ParseQuery(const std::vector<std::string>& arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption database("db", "", "PATH");
    const QCommandLineOption source("source", "", "SQL");
    const QCommandLineOption filter("filter", "", "TEXT");
    const QCommandLineOption json("json");
    const QCommandLineOption prefix("wine-prefix", "", "DIR");
    const QCommandLineOption help("help");
    parser.addOptions({database, source, filter, json, prefix, help});

    QStringList list{"infotrakon"};
    for (std::size_t i = 1; i < arguments.size(); ++i) list << FromUtf8(arguments[i]);
    if (!parser.parse(list)) throw UsageError{"query: " + ToUtf8(parser.errorText())};
    Command command;
    if (parser.isSet(help)) {
        command.kind = Command::Kind::kHelp;
        return command;
    }
    if (!parser.positionalArguments().isEmpty())
        throw UsageError{"query: unexpected argument \"" +
                         ToUtf8(parser.positionalArguments().first()) + "\""};
    for (const QCommandLineOption* option : {&database, &source, &filter, &prefix})
        if (parser.values(*option).size() > 1)
            throw UsageError{"query: --" + ToUtf8(option->names().first()) + " is given twice"};
    if (!parser.isSet(database)) throw UsageError{"query: --db PATH is required"};
    if (!parser.isSet(source))
        throw UsageError{"query: --source \"SELECT * FROM table\" is required"};
    command.kind = Command::Kind::kQuery;
    command.query.database = ToUtf8(parser.value(database));
    command.query.recordSource = ToUtf8(parser.value(source));
    command.query.filter = ToUtf8(parser.value(filter));
    command.query.json = parser.isSet(json);
    if (parser.isSet(prefix)) command.query.winePrefix = ToUtf8(parser.value(prefix));
    return command;
}

}  // namespace

Command ParseCommandLine(const std::vector<std::string>& arguments) {
    if (arguments.empty()) return {};
    const std::string& name = arguments.front();
    if (name == "query") return ParseQuery(arguments);
    if (name == "help" || name == "--help" || name == "-h") return {Command::Kind::kHelp, {}};
    throw UsageError{"unknown command \"" + name + "\""};
}

std::string UsageText() {
    return "usage: infotrakon                 print the panel as it is designed\n"
           "       infotrakon query --db PATH --source \"SELECT * FROM table\" [--filter TEXT]\n"
           "                        [--json] [--wine-prefix DIR]\n"
           "           runs one record source through the panel's data control and prints the\n"
           "           record count and the rows; PATH is an .mdb or .udl file, a Windows path\n"
           "           mapped through the Wine prefix ($WINEPREFIX, else ~/.wine) or a local one\n";
}

}  // namespace infotrakon::app
