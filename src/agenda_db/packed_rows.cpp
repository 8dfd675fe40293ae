#include "agenda_db/packed_rows.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <type_traits>

namespace infotrakon::agenda_db {
namespace {

enum class Kind : std::uint8_t {
    kEmpty,
    kNull,
    kFalse,
    kTrue,
    kInteger,
    kDouble,
    kDate,
    kCurrency,
    kText,
    kDecimal,
    kGuid,
    kBinary,
    kSingle,
};

template <typename T>
void Put(std::vector<std::uint8_t>& bytes, T value) {
    static_assert(std::is_trivially_copyable_v<T>);
    const std::size_t at = bytes.size();
    bytes.resize(at + sizeof value);
    std::memcpy(bytes.data() + at, &value, sizeof value);
}

template <typename T>
T Take(const std::uint8_t*& at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    at += sizeof value;
    return value;
}

// A length in seven-bit groups, the last without its high bit: one byte for most texts.
void PutLength(std::vector<std::uint8_t>& bytes, std::uint64_t length) {
    for (; length >= 0x80; length >>= 7) bytes.push_back(static_cast<std::uint8_t>(length | 0x80));
    bytes.push_back(static_cast<std::uint8_t>(length));
}

// A whole number as a length of its zigzag form, small either side of zero: an amount of a few
// thousand crowns in four bytes rather than eight.
void PutWhole(std::vector<std::uint8_t>& bytes, std::int64_t value) {
    const auto unsignedValue = static_cast<std::uint64_t>(value);
    PutLength(bytes, (unsignedValue << 1) ^ (value < 0 ? ~std::uint64_t{0} : 0));
}

std::uint64_t TakeLength(const std::uint8_t*& at) {
    std::uint64_t length = 0;
    for (int shift = 0;; shift += 7) {
        const std::uint8_t group = *at++;
        length |= static_cast<std::uint64_t>(group & 0x7F) << shift;
        if ((group & 0x80) == 0) return length;
    }
}

std::int64_t TakeWhole(const std::uint8_t*& at) {
    const std::uint64_t zigzag = TakeLength(at);
    return static_cast<std::int64_t>((zigzag >> 1) ^ (0 - (zigzag & 1)));
}

void SkipWhole(const std::uint8_t*& at) {
    while (*at++ & 0x80) {
    }
}

void PutBytes(std::vector<std::uint8_t>& bytes, const void* data, std::size_t size) {
    PutLength(bytes, size);
    const auto* first = static_cast<const std::uint8_t*>(data);
    bytes.insert(bytes.end(), first, first + size);
}

std::string TakeText(const std::uint8_t*& at) {
    const auto size = static_cast<std::size_t>(TakeLength(at));
    std::string text(reinterpret_cast<const char*>(at), size);
    at += size;
    return text;
}

void PutValue(std::vector<std::uint8_t>& bytes, const Variant& value) {
    const auto kind = [&](Kind k) { bytes.push_back(static_cast<std::uint8_t>(k)); };
    std::visit(
        [&](const auto& v) {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, Empty>) {
                kind(Kind::kEmpty);
            } else if constexpr (std::is_same_v<T, Null>) {
                kind(Kind::kNull);
            } else if constexpr (std::is_same_v<T, bool>) {
                kind(v ? Kind::kTrue : Kind::kFalse);
            } else if constexpr (std::is_same_v<T, std::int64_t>) {
                kind(Kind::kInteger);
                PutWhole(bytes, v);
            } else if constexpr (std::is_same_v<T, double>) {
                kind(Kind::kDouble);
                Put(bytes, v);
            } else if constexpr (std::is_same_v<T, Single>) {
                kind(Kind::kSingle);
                Put(bytes, v.value);
            } else if constexpr (std::is_same_v<T, Date>) {
                kind(Kind::kDate);
                Put(bytes, v.dayNumber());
                Put(bytes, static_cast<std::int32_t>(v.secondsOfDay()));
            } else if constexpr (std::is_same_v<T, Currency>) {
                kind(Kind::kCurrency);
                PutWhole(bytes, v.tenThousandths);
            } else if constexpr (std::is_same_v<T, std::string>) {
                kind(Kind::kText);
                PutBytes(bytes, v.data(), v.size());
            } else if constexpr (std::is_same_v<T, Decimal>) {
                kind(Kind::kDecimal);
                PutBytes(bytes, v.text.data(), v.text.size());
            } else if constexpr (std::is_same_v<T, Guid>) {
                kind(Kind::kGuid);
                PutBytes(bytes, v.text.data(), v.text.size());
            } else {
                static_assert(std::is_same_v<T, Binary>);
                kind(Kind::kBinary);
                PutBytes(bytes, v.bytes.data(), v.bytes.size());
            }
        },
        value.value());
}

// Reads the value at `at` and moves past it.
Variant TakeValue(const std::uint8_t*& at) {
    switch (static_cast<Kind>(*at++)) {
        case Kind::kEmpty:
            return Empty{};
        case Kind::kNull:
            return Null{};
        case Kind::kFalse:
            return false;
        case Kind::kTrue:
            return true;
        case Kind::kInteger:
            return TakeWhole(at);
        case Kind::kDouble:
            return Take<double>(at);
        case Kind::kSingle:
            return Single{Take<float>(at)};
        case Kind::kDate: {
            const auto day = Take<std::int64_t>(at);
            return Date::FromDayNumber(day, Take<std::int32_t>(at));
        }
        case Kind::kCurrency:
            return Currency{TakeWhole(at)};
        case Kind::kText:
            return TakeText(at);
        case Kind::kDecimal:
            return Decimal{TakeText(at)};
        case Kind::kGuid:
            return Guid{TakeText(at)};
        case Kind::kBinary: {
            const std::string bytes = TakeText(at);
            return Binary{std::vector<std::uint8_t>(bytes.begin(), bytes.end())};
        }
    }
    return Empty{};
}

// Moves past the value at `at` without building it.
void SkipValue(const std::uint8_t*& at) {
    switch (static_cast<Kind>(*at++)) {
        case Kind::kInteger:
        case Kind::kCurrency:
            SkipWhole(at);
            break;
        case Kind::kDouble:
            at += 8;
            break;
        case Kind::kSingle:
            at += 4;
            break;
        case Kind::kDate:
            at += 12;
            break;
        case Kind::kText:
        case Kind::kDecimal:
        case Kind::kGuid:
        case Kind::kBinary:
            at += static_cast<std::size_t>(TakeLength(at));
            break;
        default:
            break;
    }
}

}  // namespace

constexpr std::size_t kBlockBytes = 64 * 1024;

void PackedRows::StartRow() {
    ++size_;
    if (blocks_.empty()) blocks_.emplace_back().reserve(kBlockBytes);
    recordStart_ = blocks_.back().size();
}

void PackedRows::Put(const Variant& value) {
    value_.clear();
    PutValue(value_, value);
    std::vector<std::uint8_t>* block = &blocks_.back();
    if (block->size() + value_.size() > block->capacity()) {
        const std::size_t record = block->size() - recordStart_ + value_.size();
        if (recordStart_ == 0) {
            // A record larger than a block has one of its own.
            block->reserve(std::max(kBlockBytes, 2 * record));
        } else {
            // The record begun moves whole to a new block.
            std::vector<std::uint8_t> next;
            next.reserve(std::max(kBlockBytes, 2 * record));
            next.insert(next.end(), block->begin() + static_cast<std::ptrdiff_t>(recordStart_),
                        block->end());
            block->resize(recordStart_);
            blocks_.push_back(std::move(next));
            block = &blocks_.back();
            recordStart_ = 0;
        }
    }
    block->insert(block->end(), value_.begin(), value_.end());
}

void PackedRows::Clear() {
    blocks_.clear();
    blocks_.shrink_to_fit();
    recordStart_ = 0;
    size_ = 0;
}

bool PackedRows::Reader::Next() {
    if (read_ == rows_.size_) return false;
    if (read_ > 0) {
        const std::vector<std::uint8_t>& block = rows_.blocks_[block_];
        const std::uint8_t* at = block.data() + current_;
        for (std::size_t i = 0; i < width_; ++i) SkipValue(at);
        current_ = static_cast<std::size_t>(at - block.data());
        if (current_ == block.size() && block_ + 1 < rows_.blocks_.size()) {
            ++block_;
            current_ = 0;
        }
    }
    ++read_;
    return true;
}

Variant PackedRows::Reader::Value(std::size_t column) const {
    const std::uint8_t* at = rows_.blocks_[block_].data() + current_;
    for (std::size_t i = 0; i < column; ++i) SkipValue(at);
    return TakeValue(at);
}

}  // namespace infotrakon::agenda_db
