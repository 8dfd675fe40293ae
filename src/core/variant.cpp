#include "core/variant.h"

#include <charconv>
#include <cmath>

#include "core/error.h"
#include "core/locale.h"

namespace infotrakon {
namespace {

// A numeric operand of an addition, widened to the kinds that can hold it.
struct Operand {
    enum class Kind { kLong, kCurrency, kDouble } kind;
    std::int64_t integer = 0;  // whole number, or 1/10000 units for currency
    double real = 0;
};

std::optional<Operand> NumericOperand(const Variant& value, const Locale& locale) {
    if (const auto* number = value.get<std::int64_t>())
        return Operand{Operand::Kind::kLong, *number, static_cast<double>(*number)};
    if (const auto* amount = value.get<Currency>())
        return Operand{Operand::Kind::kCurrency, amount->tenThousandths, amount->ToDouble()};
    if (const auto* real = value.get<double>()) return Operand{Operand::Kind::kDouble, 0, *real};
    if (const auto* single = value.get<Single>())
        return Operand{Operand::Kind::kDouble, 0, static_cast<double>(single->value)};
    if (const auto* decimal = value.get<Decimal>())
        return Operand{Operand::Kind::kDouble, 0, decimal->ToDouble()};
    if (const auto* text = value.get<std::string>()) {
        if (auto parsed = locale.ParseNumber(*text))
            return Operand{Operand::Kind::kDouble, 0, *parsed};
    }
    return std::nullopt;
}

Variant DoubleSum(double left, double right) {
    const double sum = left + right;
    if (std::isinf(sum) && !std::isinf(left) && !std::isinf(right))
        throw Error(error_number::kOverflow, "Overflow");
    return sum;
}

}  // namespace

double Decimal::ToDouble() const {
    double number = 0;
    const char* begin = text.data();
    if (!text.empty() && text[0] == '-') ++begin;
    std::from_chars(begin, text.data() + text.size(), number);
    return begin == text.data() ? number : -number;
}

const char* Variant::kindName() const {
    static constexpr const char* kNames[] = {"Empty",   "String",  "Long",       "Double",
                                             "Date",    "Boolean", "Null",       "Currency",
                                             "Decimal", "GUID",    "Byte array", "Single"};
    return kNames[value_.index()];
}

Variant Add(const Variant& left, const Variant& right, const Locale& locale) {
    if (left.isNull() || right.isNull()) return Null{};
    if (left.isEmpty()) {
        if (right.isEmpty()) return Empty{};
        if (!NumericOperand(right, locale))
            throw Error(
                error_number::kTypeMismatch,
                std::string("Type mismatch: cannot add a value of kind ") + right.kindName());
        return right.isText() ? Variant(NumericOperand(right, locale)->real) : right;
    }
    if (right.isEmpty()) return Add(right, left, locale);
    const auto a = NumericOperand(left, locale);
    const auto b = NumericOperand(right, locale);
    if (!a || !b) {
        const Variant& culprit = a ? right : left;
        throw Error(error_number::kTypeMismatch,
                    std::string("Type mismatch: cannot add a value of kind ") + culprit.kindName());
    }
    using Kind = Operand::Kind;
    if (a->kind == Kind::kDouble || b->kind == Kind::kDouble) return DoubleSum(a->real, b->real);
    if (a->kind == Kind::kCurrency || b->kind == Kind::kCurrency) {
        // A whole number joins a currency sum in 1/10000 units.
        auto units = [](const Operand& operand, std::int64_t& out) {
            if (operand.kind == Kind::kCurrency) {
                out = operand.integer;
                return true;
            }
            return !__builtin_mul_overflow(operand.integer, std::int64_t{10000}, &out);
        };
        std::int64_t x = 0, y = 0, sum = 0;
        if (!units(*a, x) || !units(*b, y) || __builtin_add_overflow(x, y, &sum))
            throw Error(error_number::kOverflow, "Overflow: the currency sum is too large");
        return Currency{sum};
    }
    std::int64_t sum = 0;
    // Whole numbers that no longer fit go on as a double, as the platform's addition does.
    if (__builtin_add_overflow(a->integer, b->integer, &sum)) return DoubleSum(a->real, b->real);
    return sum;
}

std::optional<double> NumericValue(const Variant& value) {
    if (const auto* flag = value.get<bool>()) return *flag ? -1.0 : 0.0;
    if (const auto* number = value.get<std::int64_t>()) return static_cast<double>(*number);
    if (const auto* real = value.get<double>()) return *real;
    if (const auto* single = value.get<Single>()) return static_cast<double>(single->value);
    if (const auto* amount = value.get<Currency>()) return amount->ToDouble();
    if (const auto* decimal = value.get<Decimal>()) return decimal->ToDouble();
    if (const auto* date = value.get<Date>()) return date->ToOle();
    return std::nullopt;
}

}  // namespace infotrakon
