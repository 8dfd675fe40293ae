#pragma once

#include <memory>
#include <string>
#include <vector>

#include "agenda_db/connection_string.h"
#include "core/file_system.h"
#include "panel/recordset.h"

namespace infotrakon::agenda_db {

// The provider that connection strings name for an Access file.
inline constexpr const char* kJetProvider = "Microsoft.Jet.OLEDB.4.0";

// Whether the connection string's Provider is the Jet provider, of Jet 4 or Jet 3.5.
bool NamesJetProvider(const std::string& provider);

// The record set of a record source on the Access file that the Data Source property names,
// opened read-only through `files` with the database password the properties give.
std::unique_ptr<panel::Recordset> OpenJetRecordset(
    const std::vector<ConnectionProperty>& properties, const std::string& recordSource,
    const FileSystem& files);

}  // namespace infotrakon::agenda_db
