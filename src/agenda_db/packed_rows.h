#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/variant.h"

namespace infotrakon::agenda_db {

// Records kept in memory as compactly as their values allow: each value a kind byte and its
// bytes, one record after the other in one buffer. A server's record set holds every passing
// record of a table this way; as Variants they took several times the room.
class PackedRows {
  public:
    // A record is appended value by value: StartRow, then Put or PutText for each field.
    void StartRow();
    void Put(const Variant& value);
    void PutText(std::string_view text);
    std::size_t size() const { return starts_.size(); }
    // The `column`-th value of the `row`-th record appended; both must exist.
    Variant Value(std::size_t row, std::size_t column) const;
    void Clear();

  private:
    std::vector<std::uint8_t> bytes_;
    std::vector<std::size_t> starts_;  // where each record's first value begins
};

}  // namespace infotrakon::agenda_db
