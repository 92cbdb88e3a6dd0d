#pragma once
// A small tagged value: what a field holds, what a parameter carries and
// what a provider reads. Dates and times are whole numbers so that held
// rows can keep them without any allocation.
#include <cstdint>
#include <string>
#include <utility>

/// Kind of value held by a Variant.
enum class VarType : std::uint8_t {
    Null,     ///< no value
    Integer,  ///< whole number (64 bits)
    Float,    ///< floating-point or fixed-point number
    Text,     ///< UTF-8 text
    Boolean,  ///< true or false
    Date,     ///< days since 1970-01-01
    Time,     ///< microseconds since midnight
    DateTime, ///< microseconds since 1970-01-01 00:00:00
};

/// A value of any column kind, or null.
class Variant {
public:
    Variant() = default;
    Variant(int v) : type_(VarType::Integer), int_(v) {}
    Variant(long v) : type_(VarType::Integer), int_(v) {}
    Variant(long long v) : type_(VarType::Integer), int_(v) {}
    Variant(double v) : type_(VarType::Float), float_(v) {}
    Variant(bool v) : type_(VarType::Boolean), int_(v ? 1 : 0) {}
    Variant(std::string v) : type_(VarType::Text), text_(std::move(v)) {}
    Variant(const char* v) : type_(VarType::Text), text_(v) {}

    /// A date, counted in days from 1970-01-01.
    static Variant date(std::int64_t days) { return Variant(VarType::Date, days); }
    /// A time of day, counted in microseconds from midnight.
    static Variant time(std::int64_t micros) { return Variant(VarType::Time, micros); }
    /// A date and time, counted in microseconds from 1970-01-01 00:00:00.
    static Variant dateTime(std::int64_t micros) { return Variant(VarType::DateTime, micros); }

    VarType type() const { return type_; }
    bool isNull() const { return type_ == VarType::Null; }

    /// Whole-number payload of Integer, Boolean, Date, Time and DateTime values.
    std::int64_t intValue() const { return int_; }
    /// Payload of a Float value.
    double floatValue() const { return float_; }
    /// Payload of a Text value.
    const std::string& textValue() const { return text_; }

    /// Same type and same payload; two nulls are equal.
    bool operator==(const Variant& other) const;
    bool operator!=(const Variant& other) const { return !(*this == other); }

private:
    Variant(VarType type, std::int64_t v) : type_(type), int_(v) {}

    VarType type_ = VarType::Null;
    std::int64_t int_ = 0;
    double float_ = 0.0;
    std::string text_;
};
