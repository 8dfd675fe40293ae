// mkagenda: writes Jet 4 agenda databases for tests, benchmarks and the demo.
//   mkagenda --from FILE.json OUT.mdb
//   mkagenda --demo OUT.mdb [--today YYYY-MM-DD]
//   mkagenda --rows N OUT.mdb [--today YYYY-MM-DD]
// With --sql OUT.sql the same tables go to a PostgreSQL script as well (OUT.mdb may then be
// left out). An existing output file is kept unless --force is given.
#include <sys/stat.h>

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "core/clock.h"
#include "core/error.h"
#include "tools/mkagenda/description.h"
#include "tools/mkagenda/sql_writer.h"

namespace {

int Usage(const std::string& problem) {
    std::cerr
        << "mkagenda: " << problem << "\n"
        << "usage: mkagenda (--from FILE.json | --demo | --rows N) [OUT.mdb] [--sql OUT.sql]\n"
           "                [--today YYYY-MM-DD] [--force]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace infotrakon;
    std::string from, output, sqlOutput, todayText;
    bool demo = false, force = false;
    long long rows = -1;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        auto next = [&](const char* what) -> std::string {
            if (i + 1 >= argc) throw std::invalid_argument(std::string(what) + " needs a value");
            return argv[++i];
        };
        try {
            if (argument == "--from") {
                from = next("--from");
            } else if (argument == "--demo") {
                demo = true;
            } else if (argument == "--rows") {
                const std::string count = next("--rows");
                std::size_t used = 0;
                rows = std::stoll(count, &used);
                if (used != count.size() || rows < 0)
                    throw std::invalid_argument("--rows needs a count");
            } else if (argument == "--sql") {
                sqlOutput = next("--sql");
            } else if (argument == "--today") {
                todayText = next("--today");
            } else if (argument == "--force") {
                force = true;
            } else if (!argument.empty() && argument[0] == '-') {
                return Usage("unknown option " + argument);
            } else if (output.empty()) {
                output = argument;
            } else {
                return Usage("more than one output file");
            }
        } catch (const std::exception& error) {
            return Usage(error.what());
        }
    }
    if (output.empty() && sqlOutput.empty()) return Usage("no output file");
    if ((from.empty() ? 0 : 1) + (demo ? 1 : 0) + (rows >= 0 ? 1 : 0) != 1)
        return Usage("give exactly one of --from, --demo and --rows");
    for (const std::string& existing : {output, sqlOutput}) {
        struct stat info {};
        if (!force && !existing.empty() && stat(existing.c_str(), &info) == 0)
            return Usage(existing + " exists; --force overwrites it");
    }
    Date today = SystemClock().Today();
    if (!todayText.empty()) {
        const auto parsed = Date::FromIso(todayText);
        if (!parsed) return Usage("--today needs YYYY-MM-DD");
        today = *parsed;
    }
    try {
        // The Jet writer checks every value, also when only the script is wanted.
        mkagenda::JetWriter jet;
        mkagenda::SqlWriter sql;
        mkagenda::TeeWriter writer({&jet, &sql});
        if (!from.empty()) {
            std::ifstream file(from, std::ios::binary);
            if (!file) throw Error(error_number::kFileNotFound, "Cannot read " + from);
            std::ostringstream text;
            text << file.rdbuf();
            mkagenda::LoadDescription(text.str(), writer);
        } else if (demo) {
            mkagenda::WriteDemoAgenda(writer, today);
        } else {
            mkagenda::WriteGeneratedAgenda(writer, static_cast<std::size_t>(rows), today);
        }
        if (!output.empty()) jet.Finish(output);
        if (!sqlOutput.empty()) sql.Finish(sqlOutput);
    } catch (const Error& error) {
        std::cerr << "mkagenda: error " << error.number() << ": " << error.what() << "\n";
        return 1;
    }
    return 0;
}
