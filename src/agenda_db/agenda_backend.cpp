#include "agenda_db/agenda_backend.h"

#include <memory>

#include "agenda_db/connection_string.h"
#include "agenda_db/filter.h"
#include "agenda_db/jet/jet_recordset.h"
#include "agenda_db/odbc/odbc_recordset.h"
#include "agenda_db/odbc_connection_string.h"
#include "agenda_db/record_source.h"
#include "core/case_fold.h"
#include "core/error.h"
#include "jet/reader.h"

namespace infotrakon::agenda_db {
namespace {

constexpr const char* kJetProvider = "Microsoft.Jet.OLEDB.4.0";
// Older data links name the Jet 3.5 provider; the reader reads its files too.
constexpr const char* kJet3Provider = "Microsoft.Jet.OLEDB.3.51";
// A data link is a few hundred bytes; anything far larger is no data link.
constexpr std::size_t kMaxDataLinkSize = 1 << 20;

std::string ReadDataLink(const FileSystem& files, const std::string& hostPath) {
    std::unique_ptr<ReadableFile> file;
    try {
        file = files.OpenForReading(hostPath);
    } catch (const Error& error) {
        throw Error(error.number(), "Cannot open the data link '" + hostPath + "' (" +
                                        files.LocalPath(hostPath) + "): " + error.what());
    }
    return ReadWholeFile(*file, kMaxDataLinkSize, "a data link");
}

}  // namespace

AgendaBackend::AgendaBackend(std::shared_ptr<const FileSystem> files) : files_(std::move(files)) {}

std::unique_ptr<panel::Recordset> AgendaBackend::Open(const std::string& connectionString,
                                                      const std::string& recordSource,
                                                      const panel::DataControlSettings& settings) {
    if (connectionString.empty())
        throw Error(error_number::kProviderNotSupported,
                    "The data control's connection string is empty: it names no provider and "
                    "no database");
    std::vector<ConnectionProperty> properties = ParseConnectionString(connectionString);
    if (const auto dataLink = FindProperty(properties, "File Name")) {
        const std::string bytes = ReadDataLink(*files_, *dataLink);
        properties = ParseConnectionString(DataLinkInitString(bytes, *dataLink));
    }
    if (NamesOdbcSource(properties)) {
        if (!servers_) servers_ = MakeOdbcConnectionPool();
        return OpenOdbcRecordset(properties, recordSource, settings, servers_);
    }
    const auto provider = FindProperty(properties, "Provider");
    if (!provider || provider->empty())
        throw Error(error_number::kProviderNotSupported, "The connection string names no provider");
    if (!EqualsIgnoringCase(*provider, kJetProvider) &&
        !EqualsIgnoringCase(*provider, kJet3Provider))
        throw Error(error_number::kProviderNotSupported,
                    "The provider " + *provider + " is not supported; the agenda is read with " +
                        kJetProvider + " (Access .mdb files) or through ODBC (MSDASQL, or a DSN)");
    const auto source = FindProperty(properties, "Data Source");
    if (!source || source->empty())
        throw Error(error_number::kCouldNotFindFile,
                    "The connection string names no database file (Data Source)");
    const std::string table = RecordSourceTable(recordSource);
    // A database password comes with the data link, as the Jet provider takes it.
    const std::string password =
        FindProperty(properties, "Jet OLEDB:Database Password").value_or("");
    auto database = std::make_unique<jet::Database>(files_->OpenForReading(*source), password);
    auto info = database->OpenTable(table);
    if (!info)
        throw Error(error_number::kNoSuchTable,
                    "The database '" + *source + "' has no table " + table);
    return std::make_unique<JetRecordset>(std::move(database), std::move(*info));
}

}  // namespace infotrakon::agenda_db
