#pragma once
// Held rows, stored by column: one 8-byte slot per cell (a whole number, a
// double's bits, or the place of a text in the column's text arena) and one
// null bit per cell. No cell owns a heap allocation.
#include "data/values/FieldType.h"
#include "data/values/Variant.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zemt::data {

class RowStore {
public:
    /// Drops every row and sets the columns' kinds.
    void reset(const std::vector<TFieldType>& kinds);
    int columnCount() const { return static_cast<int>(columns_.size()); }
    std::uint32_t rowCount() const { return rows_; }
    TFieldType kind(int column) const { return columns_[column].kind; }
    /// Prepares room for more rows.
    void reserve(std::uint32_t rows);
    /// Rows and text bytes per column that a store holds or should make room for.
    struct Capacity {
        std::uint32_t rows = 0;
        std::vector<std::size_t> textBytes;
    };
    /// What this store holds now.
    Capacity used() const;
    /// Makes room for that many rows and text bytes (columns beyond the hint get rows only).
    void reserve(const Capacity& capacity);
    /// Appends a row of nulls and returns its number.
    std::uint32_t appendRow();
    /// Makes room for more rows and text bytes (spread over the text columns)
    /// with some headroom, so that adding a few rows at a time to a large
    /// store copies it seldom.
    void makeRoom(std::uint32_t rows, std::size_t textBytes);
    /// Appends a copy of a row of another store whose columns have the same
    /// kinds, and returns its number.
    std::uint32_t appendCopy(const RowStore& from, std::uint32_t row);
    /// Gives back spare capacity once every row is read.
    void shrink();
    /// Bytes held by slots, null bits and text arenas.
    std::size_t heldBytes() const;

    // Writers: the row must exist. Values are taken as the column's kind.
    void setNull(std::uint32_t row, int column);
    void setInt(std::uint32_t row, int column, std::int64_t value);
    void setDouble(std::uint32_t row, int column, double value);
    void setText(std::uint32_t row, int column, std::string_view text);
    /// Converts the value to the column's kind (null when it cannot be).
    void set(std::uint32_t row, int column, const Variant& value);

    bool isNull(std::uint32_t row, int column) const {
        return (columns_[column].nulls[row >> 6] >> (row & 63)) & 1u;
    }
    std::int64_t intAt(std::uint32_t row, int column) const;
    double doubleAt(std::uint32_t row, int column) const;
    std::string_view textAt(std::uint32_t row, int column) const;
    /// The cell as a value of the column's kind.
    Variant get(std::uint32_t row, int column) const;

    /// Changes a column's kind, converting every cell (used when a column
    /// of unknown kind turns out to hold wider values).
    void convertColumn(int column, TFieldType kind);

    /// Three-way comparison of two cells of one column; nulls first.
    int compare(std::uint32_t a, std::uint32_t b, int column) const;
    /// Hash of a cell, equal for equal cells.
    std::uint64_t hash(std::uint32_t row, int column) const;
    /// The cell equals a value already converted to the column's kind.
    bool equals(std::uint32_t row, int column, const Variant& value) const;
    /// Hash a value converted to the column's kind would have as a cell.
    std::uint64_t hashValue(int column, const Variant& value) const;

    /// Converts a value to a column kind; null when it cannot be converted.
    static Variant convert(const Variant& value, TFieldType kind);

private:
    enum class Storage : std::uint8_t { Int, Float, Text };
    static Storage storageOf(TFieldType kind);
    struct Column {
        TFieldType kind = TFieldType::ftString;
        Storage storage = Storage::Text;
        std::vector<std::uint64_t> slots;
        std::vector<std::uint64_t> nulls;
        std::vector<char> arena;
    };
    void clearNull(std::uint32_t row, int column) {
        columns_[column].nulls[row >> 6] &= ~(std::uint64_t(1) << (row & 63));
    }

    std::vector<Column> columns_;
    std::uint32_t rows_ = 0;
};

} // namespace zemt::data
