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
#include <vector>

#include "core/clock.h"
#include "core/error.h"
#include "tools/mkagenda/command_line.h"
#include "tools/mkagenda/description.h"
#include "tools/mkagenda/sql_writer.h"

int main(int argc, char** argv) {
    using namespace infotrakon;
    mkagenda::MkagendaOptions options;
    try {
        options =
            mkagenda::ParseMkagendaCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const mkagenda::MkagendaUsageError& error) {
        std::cerr << "mkagenda: " << error.message << "\n" << mkagenda::kMkagendaUsage << "\n";
        return 2;
    }
    if (options.help) {
        std::cout << options.helpText;
        return 0;
    }
    for (const std::string& existing : {options.output, options.sqlOutput}) {
        struct stat info {};
        if (!options.force && !existing.empty() && stat(existing.c_str(), &info) == 0) {
            std::cerr << "mkagenda: " << existing << " exists; --force overwrites it\n";
            return 2;
        }
    }
    const Date today = options.today ? *options.today : SystemClock().Today();
    try {
        // The Jet writer checks every value, also when only the script is wanted.
        mkagenda::JetWriter jet;
        jet.SetPassword(options.password);
        // Any key but 0 does; a fixed one keeps the output the same from run to run.
        if (options.encrypt) jet.Encrypt(0x6B39DAC7);
        mkagenda::SqlWriter sql;
        mkagenda::TeeWriter writer({&jet, &sql});
        using Source = mkagenda::MkagendaOptions::Source;
        if (options.source == Source::kDescription) {
            const std::string& from = options.descriptionFile;
            std::ifstream file(from, std::ios::binary);
            if (!file) throw Error(error_number::kFileNotFound, "Cannot read " + from);
            std::ostringstream text;
            text << file.rdbuf();
            mkagenda::LoadDescription(text.str(), writer);
        } else if (options.source == Source::kDemo) {
            mkagenda::WriteDemoAgenda(writer, today);
        } else {
            mkagenda::WriteGeneratedAgenda(writer, options.rows, today);
        }
        if (!options.output.empty()) jet.Finish(options.output);
        if (!options.sqlOutput.empty()) sql.Finish(options.sqlOutput);
    } catch (const Error& error) {
        std::cerr << "mkagenda: error " << error.number() << ": " << error.what() << "\n";
        return 1;
    }
    return 0;
}
