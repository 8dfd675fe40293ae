// Texts of a server's driver for numbers, money and dates: a value or nullopt, and a date
// only in the years Access holds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "agenda_db/odbc/odbc_values.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    infotrakon::agenda_db::ServerNumber(text);
    infotrakon::agenda_db::ServerMoney(text);
    if (const auto date = infotrakon::agenda_db::ServerDate(text)) {
        const int year = date->year();
        if (year < 100 || year > 9999) std::abort();
    }
    return 0;
}
