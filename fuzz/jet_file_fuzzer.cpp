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

// A comparison of the first column of each kind the filter language compares (a Boolean, a
// date, a number), joined as the panel joins them, so that the filtered walk and each test made
// on a stored row run.
std::string FilterFor(const infotrakon::jet::TableInfo& table) {
    using infotrakon::jet::ColumnType;
    std::string filter;
    bool flag = false, date = false, number = false;
    const auto add = [&](bool& taken, const std::string& comparison) {
        if (taken) return;
        taken = true;
        filter += (filter.empty() ? "" : " and ") + comparison;
    };
    for (const auto& column : table.columns) {
        if (column.name.find_first_of("[]") != std::string::npos) continue;
        const std::string field = "[" + column.name + "]";
        switch (column.type) {
            case ColumnType::kBoolean:
                add(flag, field + "=true");
                break;
            case ColumnType::kDateTime:
                add(date, field + " >= #1/1/2000#");
                break;
            case ColumnType::kByte:
            case ColumnType::kInteger:
            case ColumnType::kLong:
            case ColumnType::kCurrency:
            case ColumnType::kDouble:
                add(number, field + " >= 0");
                break;
            default:
                break;
        }
    }
    return filter;
}

// The first date column, for a day hint.
std::string DateColumn(const infotrakon::jet::TableInfo& table) {
    for (const auto& column : table.columns)
        if (column.type == infotrakon::jet::ColumnType::kDateTime) return column.name;
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
                // Filtered with a day hint, and whole without one.
                const std::string dateColumn = DateColumn(*table);
                for (const bool filtered : {true, false}) {
                    const auto records =
                        backend.Open(connection, "SELECT * FROM [" + name + "]", {});
                    if (filtered) {
                        records->SetFilter(FilterFor(*table));
                        if (!dateColumn.empty())
                            records->SetDaysRead(dateColumn, Date::FromCivil(2000, 1, 1),
                                                 Date::FromCivil(2030, 12, 31));
                    }
                    const std::int32_t count = records->RecordCount();
                    for (std::int32_t i = 0; i < count; ++i) {
                        for (const std::string& field : records->FieldNames())
                            records->FieldValue(field);
                        records->MoveNext();
                    }
                    records->Close();
                }
            } catch (const Error&) {
                // A damaged table; the others may still read.
            }
        }
    } catch (const Error&) {
    }
    return 0;
}
