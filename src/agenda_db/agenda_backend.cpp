#include "agenda_db/agenda_backend.h"

#include <memory>

#include "agenda_db/connection_string.h"
#include "agenda_db/jet/jet_provider.h"
#include "agenda_db/odbc/odbc_connection_string.h"
#include "agenda_db/odbc/odbc_recordset.h"
#include "core/error.h"

namespace infotrakon::agenda_db {
namespace {

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
    std::string origin = "The connection string";
    if (const auto dataLink = FindProperty(properties, "File Name")) {
        const std::string bytes = ReadDataLink(*files_, *dataLink);
        properties = ParseConnectionString(DataLinkInitString(bytes, *dataLink));
        origin = "The data link '" + *dataLink + "'";
    }
    if (NamesOdbcSource(properties)) {
        if (!servers_) servers_ = MakeOdbcConnectionPool();
        return OpenOdbcRecordset(properties, origin, recordSource, settings, servers_);
    }
    const auto provider = FindProperty(properties, "Provider");
    if (!provider || provider->empty())
        throw Error(error_number::kProviderNotSupported, "The connection string names no provider");
    if (!NamesJetProvider(*provider))
        throw Error(error_number::kProviderNotSupported,
                    "The provider " + *provider + " is not supported; the agenda is read with " +
                        kJetProvider + " (Access .mdb files) or through ODBC (MSDASQL, or a DSN)");
    return OpenJetRecordset(properties, recordSource, *files_);
}

}  // namespace infotrakon::agenda_db
