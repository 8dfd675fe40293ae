#include "agenda_db/agenda_backend.h"

#include <cstdint>
#include <fstream>
#include <limits>
#include <optional>
#include <sstream>

#include "agenda_db/connection_string.h"
#include "agenda_db/filter.h"
#include "agenda_db/odbc_recordset.h"
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
constexpr std::streamsize kMaxDataLinkSize = 1 << 20;

std::string ReadDataLink(const std::string& hostPath, const std::string& localPath) {
    std::ifstream file(localPath, std::ios::binary);
    if (!file)
        throw Error(error_number::kCouldNotFindFile,
                    "Cannot open the data link '" + hostPath + "' (" + localPath + ")");
    std::string bytes(static_cast<std::size_t>(kMaxDataLinkSize) + 1, '\0');
    file.read(bytes.data(), kMaxDataLinkSize + 1);
    if (file.gcount() > kMaxDataLinkSize)
        throw Error(error_number::kCannotOpenDatabase,
                    "The data link '" + hostPath + "' is too large to be a data link");
    bytes.resize(static_cast<std::size_t>(file.gcount()));
    return bytes;
}

class JetRecordset final : public panel::Recordset {
  public:
    JetRecordset(std::unique_ptr<jet::Database> database, jet::TableInfo table)
        : database_(std::move(database)), table_(std::move(table)), cursor_(*database_, table_) {}

    void SetFilter(const std::string& text) override {
        CheckOpen();
        Filter filter = ParseFilter(text);
        std::vector<BoundComparison> bound;
        for (Comparison& comparison : filter.comparisons) {
            const auto column = table_.FindColumn(comparison.field);
            if (!column)
                throw Error(error_number::kInvalidFilter,
                            "The filter \"" + text + "\" names the field " + comparison.field +
                                ", which table " + table_.name + " does not have");
            bound.push_back({std::move(comparison), *column});
        }
        filter_ = std::move(bound);
        visible_.reset();
        current_ = 0;
    }

    std::int32_t RecordCount() override {
        Scan();
        return static_cast<std::int32_t>(visible_->size());
    }

    void MoveFirst() override {
        Scan();
        if (visible_->empty()) NoCurrentRecord();
        current_ = 0;
    }

    void MoveNext() override {
        Scan();
        if (current_ >= visible_->size()) NoCurrentRecord();
        ++current_;
    }

    Variant FieldValue(const std::string& name) override {
        Scan();
        const auto column = table_.FindColumn(name);
        if (!column)
            throw Error(error_number::kItemNotFound,
                        "Item cannot be found in the collection corresponding to the requested "
                        "name: table " +
                            table_.name + " has no field " + name);
        if (current_ >= visible_->size()) NoCurrentRecord();
        if (loaded_ != current_) {
            cursor_.Seek((*visible_)[current_]);
            loaded_ = current_;
        }
        return cursor_.Value(*column);
    }

    std::vector<std::string> FieldNames() const override {
        std::vector<std::string> names;
        for (const jet::ColumnInfo& column : table_.columns) names.push_back(column.name);
        return names;
    }

    void Close() override {
        CheckOpen();
        closed_ = true;
        visible_.reset();
    }

  private:
    struct BoundComparison {
        Comparison comparison;
        std::size_t column;
    };

    void CheckOpen() const {
        if (closed_)
            throw Error(error_number::kObjectClosed,
                        "Operation is not allowed when the object is closed (the record set of "
                        "table " +
                            table_.name + ")");
    }

    [[noreturn]] void NoCurrentRecord() const {
        throw Error(error_number::kNoCurrentRecord,
                    "Either BOF or EOF is True, or the current record has been deleted (table " +
                        table_.name + ")");
    }

    // Finds the records that pass the filter, decoding only the fields it compares; the set
    // keeps their positions.
    void Scan() {
        CheckOpen();
        if (visible_) return;
        std::vector<jet::RowPosition> positions;
        jet::TableCursor scan(*database_, table_);
        while (scan.Next()) {
            bool passes = true;
            for (const BoundComparison& bound : filter_) {
                if (!Satisfies(scan.Value(bound.column), bound.comparison)) {
                    passes = false;
                    break;
                }
            }
            if (!passes) continue;
            if (positions.size() ==
                static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
                throw Error(
                    error_number::kOverflow,
                    "Table " + table_.name + " has more records than a record set can count");
            positions.push_back(scan.position());
        }
        visible_ = std::move(positions);
        loaded_ = std::numeric_limits<std::size_t>::max();
    }

    std::unique_ptr<jet::Database> database_;
    jet::TableInfo table_;
    jet::TableCursor cursor_;
    std::vector<BoundComparison> filter_;
    std::optional<std::vector<jet::RowPosition>> visible_;
    std::size_t current_ = 0;
    std::size_t loaded_ = std::numeric_limits<std::size_t>::max();
    bool closed_ = false;
};

}  // namespace

AgendaBackend::AgendaBackend(std::shared_ptr<const settings::FileSystem> files)
    : files_(std::move(files)) {}

std::unique_ptr<panel::Recordset> AgendaBackend::Open(const std::string& connectionString,
                                                      const std::string& recordSource,
                                                      const panel::DataControlSettings& settings) {
    if (connectionString.empty())
        throw Error(error_number::kProviderNotSupported,
                    "The data control's connection string is empty: it names no provider and "
                    "no database");
    std::vector<ConnectionProperty> properties = ParseConnectionString(connectionString);
    if (const auto dataLink = FindProperty(properties, "File Name")) {
        const std::string bytes = ReadDataLink(*dataLink, files_->LocalPath(*dataLink));
        properties = ParseConnectionString(DataLinkInitString(bytes, *dataLink));
    }
    if (NamesOdbcSource(properties)) return OpenOdbcRecordset(properties, recordSource, settings);
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
    auto database = std::make_unique<jet::Database>(files_->LocalPath(*source));
    auto info = database->OpenTable(table);
    if (!info)
        throw Error(error_number::kNoSuchTable,
                    "The database '" + *source + "' has no table " + table);
    return std::make_unique<JetRecordset>(std::move(database), std::move(*info));
}

}  // namespace infotrakon::agenda_db
