#pragma once
// One column of an open data set. Fields are made at open and dropped at
// close; a field reads and writes the data set's current row.
#include "data/rows/DisplayText.h"
#include "data/values/FieldType.h"
#include "data/values/Variant.h"

#include <cstdint>
#include <string>

class TDataSet;

/// Horizontal alignment a control uses for a field's text.
enum class TAlignment : std::uint8_t { taLeftJustify, taRightJustify };

/// A column of an open data set, bound to its current row.
class TField {
public:
    TField(TDataSet* dataSet, std::string name, TFieldType type, int size, bool readOnly);
    TField(const TField&) = delete;
    TField& operator=(const TField&) = delete;

    TDataSet* DataSet() const { return dataSet_; }
    /// The column name as the database reports it.
    const std::string& FieldName() const { return name_; }
    /// The name shown as a grid title: the same as FieldName.
    const std::string& DisplayName() const { return name_; }
    TFieldType DataType() const { return type_; }
    /// Declared length of a text column, 0 when unknown.
    int Size() const { return size_; }

    /// Position in the data set's field order, from 0.
    int Index() const;
    /// Moves the field within the data set's field order (a layout change).
    void setIndex(int index);

    /// Width in characters that a grid gives the field's column by default.
    int DisplayWidth() const { return displayWidth_; }
    /// Changes the display width; bound controls hear a layout change.
    void setDisplayWidth(int chars);

    /// The database reported the column as not updatable (or it comes from no base table).
    bool ReadOnly() const { return readOnly_; }
    /// The data set is modifiable and this field is not read-only.
    bool CanModify() const;
    /// Numbers are right-aligned, everything else left-aligned.
    TAlignment Alignment() const;
    /// Whether a typed character can belong to a value of this kind.
    bool IsValidChar(char32_t ch) const;

    /// Value in the current row (the pending row while editing or inserting).
    /// Null when there is no current row or the data set is closed.
    Variant Value() const;
    bool IsNull() const { return Value().isNull(); }
    /// Display text by column kind; empty for null, no row, or closed.
    std::string DisplayText() const;
    /// Same as DisplayText.
    std::string AsString() const { return DisplayText(); }
    /// The value as a whole number; null reads as 0. Fails with EConvertError.
    std::int64_t AsInteger() const;
    /// The value as a floating-point number; null reads as 0. Fails with EConvertError.
    double AsFloat() const;
    /// The value as a flag; null reads as false.
    bool AsBoolean() const;

    /// Writes a value into the pending row, converted to the field's kind.
    /// Needs editing or inserting; fails on a read-only field.
    void setValue(const Variant& value);
    /// Reads typed text as a control does: text by kind, the empty text as null.
    /// Fails with EConvertError ("'%s' is not a valid integer value", ...).
    void setAsString(const std::string& text);
    void setAsInteger(std::int64_t value) { setValue(Variant(static_cast<long long>(value))); }
    void setAsFloat(double value) { setValue(Variant(value)); }
    /// Sets the value to null.
    void Clear() { setValue(Variant()); }

    /// Base table and column the value comes from; empty for expressions.
    const std::string& baseTable() const { return baseTable_; }
    const std::string& baseColumn() const { return baseColumn_; }
    void setOrigin(std::string table, std::string column);
    /// Column number in the held rows (stays fixed while fields are reordered).
    int columnIndex() const { return column_; }
    void setColumnIndex(int column) { column_ = column; }

private:
    TDataSet* dataSet_;
    std::string name_;
    TFieldType type_;
    int size_;
    bool readOnly_;
    int displayWidth_;
    int column_ = 0;
    std::string baseTable_;
    std::string baseColumn_;
};

/// Default display width in characters for a column kind and declared size.
int defaultDisplayWidth(TFieldType type, int size);
