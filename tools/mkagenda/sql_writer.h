#pragma once

#include <string>
#include <vector>

#include "tools/mkagenda/table_writer.h"

namespace infotrakon::mkagenda {

// Writes the tables as a PostgreSQL script that `psql -f` loads: CREATE TABLE with the
// matching types (currency as numeric(19,4), exact) and each table's rows as COPY data.
// Names are kept exactly, in double quotes. It takes the values as the Jet writer does and
// trusts them: put it after a JetWriter in a TeeWriter, which checks them.
class SqlWriter final : public TableWriter {
  public:
    TableId AddTable(const std::string& name, std::vector<ColumnDefinition> columns) override;
    void AppendRow(TableId table, std::span<const Variant> values) override;
    void Finish(const std::string& path) const;

  private:
    struct Table {
        std::string name;
        std::vector<ColumnDefinition> columns;
        std::string copyData;
    };
    std::vector<Table> tables_;
};

}  // namespace infotrakon::mkagenda
