#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "core/date.h"

namespace infotrakon {

struct Empty {
    friend bool operator==(Empty, Empty) { return true; }
};
struct Null {
    friend bool operator==(Null, Null) { return true; }
};

// A single-precision number, as Access keeps its "Number, Single" fields: it shows with the
// seven digits it holds, and adds as the double it is.
struct Single {
    float value = 0;
    friend bool operator==(Single, Single) = default;
};

// An exact amount in 1/10000 units, as Access stores its CURRENCY fields.
struct Currency {
    std::int64_t tenThousandths = 0;
    double ToDouble() const { return static_cast<double>(tenThousandths) / 10000.0; }
    friend bool operator==(Currency, Currency) = default;
};

// An exact decimal number as Access keeps its NUMERIC (DECIMAL) fields: up to 28 digits,
// held as its canonical text ("-1234.5600": sign, digits, a point and the scale's digits).
struct Decimal {
    std::string text;
    double ToDouble() const;
    friend bool operator==(const Decimal&, const Decimal&) = default;
};

// A GUID (replication ID) in its registry form, "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
struct Guid {
    std::string text;
    friend bool operator==(const Guid&, const Guid&) = default;
};

// Bytes of a BINARY or OLE field, which the panel never converts.
struct Binary {
    std::vector<std::uint8_t> bytes;
    friend bool operator==(const Binary&, const Binary&) = default;
};

// What an element property, a registry lookup or a database field yields.
class Variant {
  public:
    using Value = std::variant<Empty, std::string, std::int64_t, double, Date, bool, Null, Currency,
                               Decimal, Guid, Binary, Single>;

    Variant() = default;
    Variant(Empty) {}
    Variant(Null value) : value_(value) {}
    Variant(std::string text) : value_(std::move(text)) {}
    Variant(const char* text) : value_(std::string(text)) {}
    Variant(std::int64_t number) : value_(number) {}
    Variant(int number) : value_(static_cast<std::int64_t>(number)) {}
    Variant(double number) : value_(number) {}
    Variant(Date date) : value_(date) {}
    Variant(bool flag) : value_(flag) {}
    Variant(Currency amount) : value_(amount) {}
    Variant(Decimal number) : value_(std::move(number)) {}
    Variant(Guid guid) : value_(std::move(guid)) {}
    Variant(Binary bytes) : value_(std::move(bytes)) {}
    Variant(Single number) : value_(number) {}

    const Value& value() const { return value_; }
    bool isEmpty() const { return std::holds_alternative<Empty>(value_); }
    bool isNull() const { return std::holds_alternative<Null>(value_); }
    bool isText() const { return std::holds_alternative<std::string>(value_); }
    template <typename T>
    const T* get() const {
        return std::get_if<T>(&value_);
    }
    // Name of the kind, for error messages.
    const char* kindName() const;

    friend bool operator==(const Variant&, const Variant&) = default;

  private:
    Value value_;
};

class Locale;

// The value as a double where it is a number on the platform's one numeric scale: numbers of
// every kind, Booleans as -1 and 0, dates as OLE dates; nullopt for any other kind.
std::optional<double> NumericValue(const Variant& value);

// Adds as the cost sums need it: numbers of any kind add as numbers, an empty value adds
// nothing, a text that reads as a number in the locale adds as that number, Null propagates;
// anything else raises a type mismatch.
Variant Add(const Variant& left, const Variant& right, const Locale& locale);

}  // namespace infotrakon
