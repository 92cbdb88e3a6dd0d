#include "data/rows/RowStore.h"

#include "data/values/DateTimeText.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <functional>

namespace zemt::data {

namespace {

// A text slot: its offset in the arena in the high 40 bits, its length in
// the low 24. Longer texts store the length as 8 bytes before the text.
constexpr std::uint64_t kLongText = 0xFFFFFF;

std::uint64_t doubleBits(double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}

double bitsDouble(std::uint64_t bits) {
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

std::uint64_t mix(std::uint64_t x) {
    x ^= x >> 33;
    x *= 0xff51afd7ed558ccdULL;
    x ^= x >> 33;
    x *= 0xc4ceb9fe1a85ec53ULL;
    x ^= x >> 33;
    return x;
}

std::string numberText(double v) {
    char buf[32];
    auto res = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, res.ptr);
}

} // namespace

RowStore::Storage RowStore::storageOf(TFieldType kind) {
    switch (kind) {
    case TFieldType::ftInteger:
    case TFieldType::ftBoolean:
    case TFieldType::ftDate:
    case TFieldType::ftTime:
    case TFieldType::ftDateTime:
        return Storage::Int;
    case TFieldType::ftFloat:
    case TFieldType::ftBCD:
        return Storage::Float;
    default:
        return Storage::Text;
    }
}

void RowStore::reset(const std::vector<TFieldType>& kinds) {
    columns_.clear();
    columns_.resize(kinds.size());
    for (size_t i = 0; i < kinds.size(); ++i) {
        columns_[i].kind = kinds[i];
        columns_[i].storage = storageOf(kinds[i]);
    }
    rows_ = 0;
}

void RowStore::reserve(std::uint32_t rows) {
    for (auto& c : columns_) {
        c.slots.reserve(rows);
        c.nulls.reserve((rows + 63) / 64);
    }
}

RowStore::Capacity RowStore::used() const {
    Capacity capacity;
    capacity.rows = rows_;
    for (const auto& c : columns_)
        capacity.textBytes.push_back(c.arena.size());
    return capacity;
}

void RowStore::reserve(const Capacity& capacity) {
    reserve(capacity.rows);
    for (size_t i = 0; i < columns_.size() && i < capacity.textBytes.size(); ++i)
        columns_[i].arena.reserve(capacity.textBytes[i]);
}

std::uint32_t RowStore::appendRow() {
    const std::uint32_t row = rows_++;
    for (auto& c : columns_) {
        c.slots.push_back(0);
        if ((row & 63) == 0)
            c.nulls.push_back(~std::uint64_t(0));
    }
    return row;
}

void RowStore::makeRoom(std::uint32_t rows, std::size_t textBytes) {
    const std::size_t wanted = std::size_t(rows_) + rows;
    for (auto& c : columns_) {
        if (c.slots.capacity() < wanted) {
            c.slots.reserve(wanted + wanted / 16);
            c.nulls.reserve((wanted + wanted / 16 + 63) / 64);
        }
        if (c.storage == Storage::Text && c.arena.capacity() < c.arena.size() + textBytes)
            c.arena.reserve(c.arena.size() + textBytes + c.arena.size() / 16);
    }
}

std::uint32_t RowStore::appendCopy(const RowStore& from, std::uint32_t row) {
    const std::uint32_t to = appendRow();
    for (int c = 0; c < columnCount(); ++c) {
        if (from.isNull(row, c))
            continue;
        switch (columns_[c].storage) {
        case Storage::Int:
            setInt(to, c, from.intAt(row, c));
            break;
        case Storage::Float:
            setDouble(to, c, from.doubleAt(row, c));
            break;
        case Storage::Text:
            setText(to, c, from.textAt(row, c));
            break;
        }
    }
    return to;
}

void RowStore::shrink() {
    for (auto& c : columns_) {
        c.slots.shrink_to_fit();
        c.nulls.shrink_to_fit();
        c.arena.shrink_to_fit();
    }
}

std::size_t RowStore::heldBytes() const {
    std::size_t bytes = columns_.capacity() * sizeof(Column);
    for (const auto& c : columns_)
        bytes += c.slots.capacity() * 8 + c.nulls.capacity() * 8 + c.arena.capacity();
    return bytes;
}

void RowStore::setNull(std::uint32_t row, int column) {
    columns_[column].nulls[row >> 6] |= std::uint64_t(1) << (row & 63);
    columns_[column].slots[row] = 0;
}

void RowStore::setInt(std::uint32_t row, int column, std::int64_t value) {
    columns_[column].slots[row] = static_cast<std::uint64_t>(value);
    clearNull(row, column);
}

void RowStore::setDouble(std::uint32_t row, int column, double value) {
    columns_[column].slots[row] = doubleBits(value);
    clearNull(row, column);
}

void RowStore::setText(std::uint32_t row, int column, std::string_view text) {
    Column& c = columns_[column];
    const std::uint64_t offset = c.arena.size();
    if (text.size() >= kLongText) {
        const std::uint64_t length = text.size();
        const char* p = reinterpret_cast<const char*>(&length);
        c.arena.insert(c.arena.end(), p, p + sizeof length);
        c.slots[row] = (offset << 24) | kLongText;
    } else {
        c.slots[row] = (offset << 24) | text.size();
    }
    c.arena.insert(c.arena.end(), text.begin(), text.end());
    clearNull(row, column);
}

std::int64_t RowStore::intAt(std::uint32_t row, int column) const {
    return static_cast<std::int64_t>(columns_[column].slots[row]);
}

double RowStore::doubleAt(std::uint32_t row, int column) const {
    return bitsDouble(columns_[column].slots[row]);
}

std::string_view RowStore::textAt(std::uint32_t row, int column) const {
    const Column& c = columns_[column];
    const std::uint64_t slot = c.slots[row];
    std::uint64_t offset = slot >> 24;
    std::uint64_t length = slot & kLongText;
    if (length == kLongText) {
        std::memcpy(&length, c.arena.data() + offset, sizeof length);
        offset += sizeof length;
    }
    return std::string_view(c.arena.data() + offset, length);
}

Variant RowStore::get(std::uint32_t row, int column) const {
    if (isNull(row, column))
        return Variant();
    const Column& c = columns_[column];
    switch (c.kind) {
    case TFieldType::ftInteger:
        return Variant(static_cast<long long>(intAt(row, column)));
    case TFieldType::ftBoolean:
        return Variant(intAt(row, column) != 0);
    case TFieldType::ftDate:
        return Variant::date(intAt(row, column));
    case TFieldType::ftTime:
        return Variant::time(intAt(row, column));
    case TFieldType::ftDateTime:
        return Variant::dateTime(intAt(row, column));
    case TFieldType::ftFloat:
    case TFieldType::ftBCD:
        return Variant(doubleAt(row, column));
    default:
        return Variant(std::string(textAt(row, column)));
    }
}

Variant RowStore::convert(const Variant& value, TFieldType kind) {
    if (value.isNull())
        return value;
    const VarType t = value.type();
    switch (storageOf(kind)) {
    case Storage::Text:
        switch (t) {
        case VarType::Text:
            return value;
        case VarType::Integer:
            return Variant(std::to_string(value.intValue()));
        case VarType::Float:
            return Variant(numberText(value.floatValue()));
        case VarType::Boolean:
            return Variant(value.intValue() ? "1" : "0");
        case VarType::Date:
            return Variant(isoDate(value.intValue()));
        case VarType::Time:
            return Variant(isoTime(value.intValue()));
        case VarType::DateTime:
            return Variant(isoDateTime(value.intValue()));
        default:
            return Variant();
        }
    case Storage::Float:
        if (t == VarType::Float)
            return value;
        if (t == VarType::Integer || t == VarType::Boolean)
            return Variant(static_cast<double>(value.intValue()));
        if (t == VarType::Text) {
            double v;
            const auto& s = value.textValue();
            auto res = std::from_chars(s.data(), s.data() + s.size(), v);
            if (res.ec == std::errc() && res.ptr == s.data() + s.size())
                return Variant(v);
        }
        return Variant();
    case Storage::Int:
        break;
    }
    switch (kind) {
    case TFieldType::ftInteger:
    case TFieldType::ftBoolean: {
        std::int64_t v = 0;
        if (t == VarType::Integer || t == VarType::Boolean)
            v = value.intValue();
        else if (t == VarType::Float && std::isfinite(value.floatValue()) &&
                 value.floatValue() == std::floor(value.floatValue()))
            v = static_cast<std::int64_t>(value.floatValue());
        else if (t == VarType::Text) {
            const auto& s = value.textValue();
            auto res = std::from_chars(s.data(), s.data() + s.size(), v);
            if (res.ec != std::errc() || res.ptr != s.data() + s.size())
                return Variant();
        } else
            return Variant();
        return kind == TFieldType::ftBoolean ? Variant(v != 0) : Variant(static_cast<long long>(v));
    }
    case TFieldType::ftDate:
        if (t == VarType::Date)
            return value;
        if (t == VarType::DateTime)
            return Variant::date(value.intValue() / kMicrosPerDay);
        if (t == VarType::Text)
            if (auto d = parseIsoDate(value.textValue()))
                return Variant::date(*d);
        return Variant();
    case TFieldType::ftTime:
        if (t == VarType::Time)
            return value;
        if (t == VarType::Text)
            if (auto d = parseIsoTime(value.textValue()))
                return Variant::time(*d);
        return Variant();
    default: // ftDateTime
        if (t == VarType::DateTime)
            return value;
        if (t == VarType::Date)
            return Variant::dateTime(value.intValue() * kMicrosPerDay);
        if (t == VarType::Text)
            if (auto d = parseIsoDateTime(value.textValue()))
                return Variant::dateTime(*d);
        return Variant();
    }
}

void RowStore::set(std::uint32_t row, int column, const Variant& value) {
    const Variant v = convert(value, columns_[column].kind);
    if (v.isNull()) {
        setNull(row, column);
        return;
    }
    switch (columns_[column].storage) {
    case Storage::Int:
        setInt(row, column, v.intValue());
        break;
    case Storage::Float:
        setDouble(row, column, v.floatValue());
        break;
    case Storage::Text:
        setText(row, column, v.textValue());
        break;
    }
}

void RowStore::convertColumn(int column, TFieldType kind) {
    if (columns_[column].kind == kind)
        return;
    std::vector<Variant> values;
    values.reserve(rows_);
    for (std::uint32_t r = 0; r < rows_; ++r)
        values.push_back(get(r, column));
    Column fresh;
    fresh.kind = kind;
    fresh.storage = storageOf(kind);
    fresh.slots.assign(rows_, 0);
    fresh.nulls.assign((rows_ + 63) / 64, ~std::uint64_t(0));
    columns_[column] = std::move(fresh);
    for (std::uint32_t r = 0; r < rows_; ++r)
        set(r, column, values[r]);
}

int RowStore::compare(std::uint32_t a, std::uint32_t b, int column) const {
    const bool na = isNull(a, column), nb = isNull(b, column);
    if (na || nb)
        return na == nb ? 0 : (na ? -1 : 1);
    switch (columns_[column].storage) {
    case Storage::Int: {
        const auto x = intAt(a, column), y = intAt(b, column);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    case Storage::Float: {
        const auto x = doubleAt(a, column), y = doubleAt(b, column);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    case Storage::Text: {
        const int c = textAt(a, column).compare(textAt(b, column));
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    }
    return 0;
}

std::uint64_t RowStore::hash(std::uint32_t row, int column) const {
    if (isNull(row, column))
        return 0x9e3779b97f4a7c15ULL;
    switch (columns_[column].storage) {
    case Storage::Int:
        return mix(static_cast<std::uint64_t>(intAt(row, column)));
    case Storage::Float: {
        const double v = doubleAt(row, column);
        return mix(doubleBits(v == 0.0 ? 0.0 : v));
    }
    case Storage::Text:
        return std::hash<std::string_view>()(textAt(row, column));
    }
    return 0;
}

std::uint64_t RowStore::hashValue(int column, const Variant& value) const {
    if (value.isNull())
        return 0x9e3779b97f4a7c15ULL;
    switch (columns_[column].storage) {
    case Storage::Int:
        return mix(static_cast<std::uint64_t>(value.intValue()));
    case Storage::Float: {
        const double v = value.floatValue();
        return mix(doubleBits(v == 0.0 ? 0.0 : v));
    }
    case Storage::Text:
        return std::hash<std::string_view>()(value.textValue());
    }
    return 0;
}

bool RowStore::equals(std::uint32_t row, int column, const Variant& value) const {
    if (value.isNull() || isNull(row, column))
        return value.isNull() && isNull(row, column);
    switch (columns_[column].storage) {
    case Storage::Int:
        return intAt(row, column) == value.intValue();
    case Storage::Float:
        return doubleAt(row, column) == value.floatValue();
    case Storage::Text:
        return textAt(row, column) == value.textValue();
    }
    return false;
}

} // namespace zemt::data
