#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/variant.h"

namespace infotrakon::agenda_db {

// Records kept in memory as compactly as their values allow: each value a kind byte and its
// bytes (whole numbers and amounts in as few bytes as their size needs), one record after the
// other, read back in order. A file's record set keeps the fields read of the records it
// selected this way; as Variants they took several times the room, and an index of where each
// record begins would take as much again as an amount. The records lie in blocks of their own,
// each record whole in one, so that the store grows without ever copying what it holds: a
// buffer that doubled would need three times the records' room while it moved them.
class PackedRows {
  public:
    // A record is appended value by value: StartRow, then Put for each field. Every record of
    // a store has as many fields.
    void StartRow();
    void Put(const Variant& value);
    std::size_t size() const { return size_; }
    void Clear();

    // The records from the first, one after the other.
    class Reader {
      public:
        // `width`: the number of fields of each record.
        Reader(const PackedRows& rows, std::size_t width) : rows_(rows), width_(width) {}
        // Moves to the next record; false past the last.
        bool Next();
        // The `column`-th value of the current record.
        Variant Value(std::size_t column) const;

      private:
        const PackedRows& rows_;
        std::size_t width_;
        std::size_t read_ = 0;     // records moved to
        std::size_t block_ = 0;    // where the current record is: its block,
        std::size_t current_ = 0;  // and where in it the record begins
    };

  private:
    std::vector<std::vector<std::uint8_t>> blocks_;
    std::size_t recordStart_ = 0;      // of the record being put, in the last block
    std::vector<std::uint8_t> value_;  // the value being put, encoded
    std::size_t size_ = 0;
};

}  // namespace infotrakon::agenda_db
