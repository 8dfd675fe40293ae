#include "agenda_db/agenda_access.h"

#include "core/error.h"
#include "core/text_encoding.h"

namespace infotrakon::agenda_db {

std::optional<std::string> AgendaConnectionString(const std::string& path) {
    const std::u16string units = Utf8ToUtf16(path);
    if (units.size() < 4)
        throw Error(error_number::kInvalidProcedureCall,
                    "The agenda path \"" + path +
                        "\" is shorter than four characters, so it has no extension");
    std::u16string extension = units.substr(units.size() - 4);
    for (char16_t& c : extension)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
    if (extension == u".MDB")
        return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path +
               ";Persist Security Info=False";
    if (extension == u".UDL") return "FILE NAME=" + path + ";";
    return std::nullopt;
}

bool ConnectAgenda(panel::Panel& panel, const FileSystem& files) {
    const std::string path = panel.Label3.caption();
    if (!files.FileExists(path)) return false;
    if (const auto connection = AgendaConnectionString(path))
        panel.Adodc1.SetConnectionString(*connection);
    return true;
}

void ConnectAgendaOrRaise(panel::Panel& panel, const FileSystem& files) {
    const std::string& path = panel.Label3.caption();
    if (!ConnectAgenda(panel, files))
        throw Error(error_number::kCouldNotFindFile, "Could not find file '" + path + "'");
    if (panel.Adodc1.connectionString().empty())
        throw Error(error_number::kProviderNotSupported,
                    "'" + path + "' is neither an Access file (.mdb) nor a data link (.udl)");
}

panel::Recordset& OpenAgendaRecordset(panel::Panel& panel, const std::string& recordSource,
                                      const std::string& filter,
                                      const std::vector<std::string>& fieldsRead) {
    panel.Adodc1.SetRecordSource(recordSource);
    panel.Adodc1.Refresh();
    panel::Recordset& recordset = panel.Adodc1.recordset();
    recordset.SetFilter(filter);
    if (!fieldsRead.empty()) recordset.SetFieldsRead(fieldsRead);
    return recordset;
}

void RecordPlace::Raise(const Error& error, std::string_view field) const {
    throw Error(error.number(), std::string(error.what()) + " (table " + std::string(table) +
                                    ", field " + std::string(field) + ", record " +
                                    std::to_string(Record()) + ")");
}

void WalkRecords(panel::Recordset& records, const std::string& table,
                 const std::function<void(const RecordPlace&)>& visit) {
    if (records.RecordCount() <= 0) return;
    records.MoveFirst();
    const std::int32_t count = records.RecordCount();
    for (std::int32_t record = 1; record <= count; ++record) {
        visit(RecordPlace{table, records});
        records.MoveNext();
    }
    records.MoveFirst();
}

}  // namespace infotrakon::agenda_db
