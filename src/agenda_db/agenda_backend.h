#pragma once

#include <memory>

#include "core/file_system.h"
#include "panel/recordset.h"

namespace infotrakon::agenda_db {

class OdbcConnectionPool;

// The provider of the data control: "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=..." for
// an Access file, read by our own Jet reader, read-only; an ODBC source (MSDASQL, or a DSN)
// for an agenda on a database server; either directly or through a data link
// ("FILE NAME=...;"). The host's paths reach the local file system through `files`.
class AgendaBackend final : public panel::DataControlBackend {
  public:
    explicit AgendaBackend(std::shared_ptr<const FileSystem> files);

    std::unique_ptr<panel::Recordset> Open(const std::string& connectionString,
                                           const std::string& recordSource,
                                           const panel::DataControlSettings& settings) override;

  private:
    std::shared_ptr<const FileSystem> files_;
    // Connections kept between record sets; made with the first one to a server.
    std::shared_ptr<OdbcConnectionPool> servers_;
};

}  // namespace infotrakon::agenda_db
