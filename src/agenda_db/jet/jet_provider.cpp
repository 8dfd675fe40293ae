#include "agenda_db/jet/jet_provider.h"

#include "agenda_db/jet/jet_recordset.h"
#include "agenda_db/record_source.h"
#include "core/case_fold.h"
#include "core/error.h"
#include "jet/reader.h"

namespace infotrakon::agenda_db {
namespace {

// Older data links name the Jet 3.5 provider; the reader reads its files too.
constexpr const char* kJet3Provider = "Microsoft.Jet.OLEDB.3.51";

}  // namespace

bool NamesJetProvider(const std::string& provider) {
    return EqualsIgnoringCase(provider, kJetProvider) ||
           EqualsIgnoringCase(provider, kJet3Provider);
}

std::unique_ptr<panel::Recordset> OpenJetRecordset(
    const std::vector<ConnectionProperty>& properties, const std::string& recordSource,
    const FileSystem& files) {
    const auto source = FindProperty(properties, "Data Source");
    if (!source || source->empty())
        throw Error(error_number::kCouldNotFindFile,
                    "The connection string names no database file (Data Source)");
    const std::string table = RecordSourceTable(recordSource);
    // A database password comes with the data link, as the Jet provider takes it.
    const std::string password =
        FindProperty(properties, "Jet OLEDB:Database Password").value_or("");
    auto database = std::make_unique<jet::Database>(files.OpenForReading(*source), password);
    auto info = database->OpenTable(table);
    if (!info)
        throw Error(error_number::kNoSuchTable,
                    "The database '" + *source + "' has no table " + table);
    return std::make_unique<JetRecordset>(std::move(database), std::move(*info));
}

}  // namespace infotrakon::agenda_db
