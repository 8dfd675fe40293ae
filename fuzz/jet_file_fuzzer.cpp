// Access files as a crash of the host or a cut-short copy leaves them: any bytes, through the
// data control's whole read path, must give records or an Error; never a crash, a hang or a
// runaway allocation.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "agenda_db/agenda_backend.h"
#include "core/error.h"
#include "core/memory_file_system.h"
#include "jet/reader.h"
#include "panel/recordset.h"

namespace {

constexpr const char* kAgenda = "C:\\Agenda\\agenda.mdb";

// A filter on the first column the filter language can compare, so that the filtered walk runs.
std::string FilterFor(const infotrakon::jet::TableInfo& table) {
    using infotrakon::jet::ColumnType;
    for (const auto& column : table.columns) {
        if (column.name.find_first_of("[]") != std::string::npos) continue;
        switch (column.type) {
            case ColumnType::kBoolean:
                return "[" + column.name + "]=true";
            case ColumnType::kDateTime:
                return "[" + column.name + "] >= #1/1/2000#";
            case ColumnType::kByte:
            case ColumnType::kInteger:
            case ColumnType::kLong:
            case ColumnType::kCurrency:
            case ColumnType::kDouble:
                return "[" + column.name + "] >= 0";
            default:
                break;
        }
    }
    return "";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace infotrakon;
    const auto files = std::make_shared<MemoryFileSystem>();
    files->Add(kAgenda, std::string(reinterpret_cast<const char*>(data), size));
    agenda_db::AgendaBackend backend(files);
    const std::string connection = std::string("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") +
                                   kAgenda + ";Persist Security Info=False";
    try {
        const jet::Database database(files->OpenForReading(kAgenda));
        for (const std::string& name : database.TableNames()) {
            const auto table = database.OpenTable(name);
            if (!table || name.find_first_of("[]") != std::string::npos) continue;
            try {
                const auto records = backend.Open(connection, "SELECT * FROM [" + name + "]", {});
                for (const std::string& filter : {FilterFor(*table), std::string()}) {
                    records->SetFilter(filter);
                    const std::int32_t count = records->RecordCount();
                    for (std::int32_t i = 0; i < count; ++i) {
                        for (const std::string& field : records->FieldNames())
                            records->FieldValue(field);
                        records->MoveNext();
                    }
                }
                records->Close();
            } catch (const Error&) {
                // A damaged table; the others may still read.
            }
        }
    } catch (const Error&) {
    }
    return 0;
}
