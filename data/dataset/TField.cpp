#include "data/dataset/TField.h"

#include "data/dataset/TDataSet.h"
#include "data/rows/DisplayText.h"
#include "data/rows/RowStore.h"
#include "data/values/DateTimeText.h"
#include "data/values/ErrorText.h"
#include "data/values/Exceptions.h"
#include "data/values/FormatSettings.h"

#include <charconv>
#include <cmath>
#include <cstdio>

using namespace zemt::data;

namespace {

std::string trimmed(const std::string& text) {
    const auto a = text.find_first_not_of(' ');
    if (a == std::string::npos)
        return {};
    const auto b = text.find_last_not_of(' ');
    return text.substr(a, b - a + 1);
}

[[noreturn]] void convertError(const char* pattern, const std::string& text) {
    throw EConvertError(fillIn(pattern, text));
}

} // namespace

int defaultDisplayWidth(TFieldType type, int size) {
    switch (type) {
    case TFieldType::ftString:
        return size > 0 ? size : 20;
    case TFieldType::ftBoolean:
        return 5;
    case TFieldType::ftDateTime:
        return 18;
    default:
        return 10;
    }
}

TField::TField(TDataSet* dataSet, std::string name, TFieldType type, int size, bool readOnly)
    : dataSet_(dataSet), name_(std::move(name)), type_(type), size_(size), readOnly_(readOnly),
      displayWidth_(defaultDisplayWidth(type, size)) {}

int TField::Index() const {
    for (int i = 0; i < dataSet_->FieldCount(); ++i)
        if (dataSet_->Fields(i) == this)
            return i;
    return -1;
}

void TField::setIndex(int index) {
    dataSet_->moveField(this, index);
}

void TField::setDisplayWidth(int chars) {
    if (chars == displayWidth_)
        return;
    displayWidth_ = chars;
    dataSet_->DataEvent(TDataEvent::deLayoutChange);
}

bool TField::CanModify() const {
    return !readOnly_ && dataSet_->CanModify();
}

TAlignment TField::Alignment() const {
    switch (type_) {
    case TFieldType::ftInteger:
    case TFieldType::ftFloat:
    case TFieldType::ftBCD:
        return TAlignment::taRightJustify;
    default:
        return TAlignment::taLeftJustify;
    }
}

bool TField::IsValidChar(char32_t ch) const {
    switch (type_) {
    case TFieldType::ftInteger:
        return (ch >= '0' && ch <= '9') || ch == '+' || ch == '-';
    case TFieldType::ftFloat:
    case TFieldType::ftBCD:
        return (ch >= '0' && ch <= '9') || ch == '+' || ch == '-' || ch == 'E' || ch == 'e' ||
               ch == static_cast<char32_t>(FormatSettings().DecimalSeparator) || ch == '.';
    default:
        return true;
    }
}

Variant TField::Value() const {
    return dataSet_->currentValue(*this);
}

std::string TField::DisplayText() const {
    return formatDisplayText(type_, Value());
}

std::int64_t TField::AsInteger() const {
    const Variant v = Value();
    if (v.isNull())
        return 0;
    const Variant i = RowStore::convert(v, TFieldType::ftInteger);
    if (i.isNull()) {
        if (v.type() == VarType::Float)
            return static_cast<std::int64_t>(std::llround(v.floatValue()));
        convertError("'%s' is not a valid integer value", DisplayText());
    }
    return i.intValue();
}

double TField::AsFloat() const {
    const Variant v = Value();
    if (v.isNull())
        return 0.0;
    if (v.type() == VarType::Text) {
        std::string text = trimmed(v.textValue());
        for (char& c : text)
            if (c == FormatSettings().DecimalSeparator)
                c = '.';
        double d;
        auto res = std::from_chars(text.data(), text.data() + text.size(), d);
        if (text.empty() || res.ec != std::errc() || res.ptr != text.data() + text.size())
            convertError("'%s' is not a valid floating point value", v.textValue());
        return d;
    }
    if (v.type() == VarType::Float)
        return v.floatValue();
    return static_cast<double>(v.intValue());
}

bool TField::AsBoolean() const {
    const Variant v = Value();
    if (v.isNull())
        return false;
    if (v.type() == VarType::Float)
        return v.floatValue() != 0.0;
    if (v.type() == VarType::Text)
        return v.textValue() == "True" || v.textValue() == "1" || v.textValue() == "t";
    return v.intValue() != 0;
}

void TField::setValue(const Variant& value) {
    if (value.type() == VarType::Text && type_ != TFieldType::ftString &&
        type_ != TFieldType::ftBlob && type_ != TFieldType::ftUnknown) {
        setAsString(value.textValue());
        return;
    }
    Variant v = RowStore::convert(value, type_);
    if (v.isNull() && !value.isNull())
        convertError("'%s' is not a valid value", formatDisplayText(TFieldType::ftString, value));
    dataSet_->assignFieldValue(*this, v);
}

void TField::setAsString(const std::string& text) {
    if (type_ == TFieldType::ftString || type_ == TFieldType::ftBlob ||
        type_ == TFieldType::ftUnknown) {
        dataSet_->assignFieldValue(*this, Variant(text));
        return;
    }
    const std::string t = trimmed(text);
    if (t.empty()) {
        dataSet_->assignFieldValue(*this, Variant());
        return;
    }
    const TFormatSettings& fs = FormatSettings();
    Variant v;
    switch (type_) {
    case TFieldType::ftInteger: {
        std::int64_t i;
        const char* begin = t.data() + (t[0] == '+' ? 1 : 0);
        auto res = std::from_chars(begin, t.data() + t.size(), i);
        if (res.ec != std::errc() || res.ptr != t.data() + t.size())
            convertError("'%s' is not a valid integer value", text);
        v = Variant(static_cast<long long>(i));
        break;
    }
    case TFieldType::ftFloat:
    case TFieldType::ftBCD: {
        std::string s = t;
        for (char& c : s)
            if (c == fs.DecimalSeparator)
                c = '.';
        double d;
        const char* begin = s.data() + (s[0] == '+' ? 1 : 0);
        auto res = std::from_chars(begin, s.data() + s.size(), d);
        if (res.ec != std::errc() || res.ptr != s.data() + s.size())
            convertError("'%s' is not a valid floating point value", text);
        v = Variant(d);
        break;
    }
    case TFieldType::ftBoolean:
        if (t == "True" || t == "true" || t == "1")
            v = Variant(true);
        else if (t == "False" || t == "false" || t == "0")
            v = Variant(false);
        else
            convertError("'%s' is not a valid boolean value", text);
        break;
    case TFieldType::ftDate: {
        auto d = parseIsoDate(t);
        if (!d)
            d = parseDatePattern(fs.ShortDateFormat, t);
        if (!d)
            convertError("'%s' is not a valid date", text);
        v = Variant::date(*d);
        break;
    }
    case TFieldType::ftTime: {
        auto d = parseTimeText(t);
        if (!d)
            convertError("'%s' is not a valid time", text);
        v = Variant::time(*d);
        break;
    }
    default: {
        auto d = parseIsoDateTime(t);
        if (!d) {
            const auto blank = t.find(' ');
            auto date = parseDatePattern(fs.ShortDateFormat, t.substr(0, blank));
            std::optional<std::int64_t> time = std::int64_t(0);
            if (blank != std::string::npos)
                time = parseTimeText(trimmed(t.substr(blank + 1)));
            if (date && time)
                d = *date * kMicrosPerDay + *time;
        }
        if (!d)
            convertError("'%s' is not a valid date and time", text);
        v = Variant::dateTime(*d);
    }
    }
    dataSet_->assignFieldValue(*this, v);
}

void TField::setOrigin(std::string table, std::string column) {
    baseTable_ = std::move(table);
    baseColumn_ = std::move(column);
}
