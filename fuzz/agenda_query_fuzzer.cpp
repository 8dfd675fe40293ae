// The texts of a query from outside: a connection string, a data link's bytes, a record
// source and a filter, cut from one input at NUL bytes. Each must parse or give an Error.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "agenda_db/connection_string.h"
#include "agenda_db/filter.h"
#include "agenda_db/odbc/odbc_connection.h"
#include "agenda_db/record_source.h"
#include "core/error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace infotrakon;
    if (size > 64 * 1024) return -1;
    std::vector<std::string> parts(4);
    std::size_t part = 0;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0 && part + 1 < parts.size()) {
            ++part;
            continue;
        }
        parts[part] += static_cast<char>(data[i]);
    }
    try {
        const auto properties = agenda_db::ParseConnectionString(parts[0]);
        agenda_db::FindProperty(properties, "Data Source");
        if (agenda_db::NamesOdbcSource(properties))
            agenda_db::OdbcConnectionString(agenda_db::AllowedOdbcProperties(
                agenda_db::OdbcProperties(properties), "The fuzzed link", [] {
                    return std::vector<std::string>{"PostgreSQL Unicode", "PostgreSQL ANSI"};
                }));
    } catch (const Error&) {
    }
    try {
        agenda_db::ParseConnectionString(agenda_db::DataLinkInitString(parts[1], "fuzz.udl"));
    } catch (const Error&) {
    }
    try {
        agenda_db::RecordSourceTable(parts[2]);
    } catch (const Error&) {
    }
    try {
        const agenda_db::Filter filter = agenda_db::ParseFilter(parts[3]);
        const Variant values[] = {Null{},
                                  true,
                                  std::int64_t{7},
                                  2.5,
                                  Currency{-30000},
                                  Date::FromCivil(2026, 1, 1, 12, 0, 0),
                                  Date::FromCivil(1850, 5, 1),
                                  std::string("text")};
        for (const agenda_db::Comparison& comparison : filter.comparisons)
            for (const Variant& value : values) agenda_db::Satisfies(value, comparison);
    } catch (const Error&) {
    }
    return 0;
}
