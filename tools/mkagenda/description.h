#pragma once

#include <string>

#include "tools/mkagenda/jet_writer.h"

namespace infotrakon::mkagenda {

// Reads a JSON description of tables, columns and rows into the writer; errors name the
// table, the row and the column.
void LoadDescription(const std::string& json, TableWriter& writer);

// The agenda tables with demo contents around `today`.
void WriteDemoAgenda(TableWriter& writer, const Date& today);

// `rows` rows of carservis with varied values, for speed measurements.
void WriteGeneratedAgenda(TableWriter& writer, std::size_t rows, const Date& today);

}  // namespace infotrakon::mkagenda
