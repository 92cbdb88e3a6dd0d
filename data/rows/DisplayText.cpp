#include "data/rows/DisplayText.h"

#include "data/rows/RowStore.h"
#include "data/values/DateTimeText.h"
#include "data/values/FormatSettings.h"

#include <cstdio>

using namespace zemt::data;

namespace {

// General form with up to 15 significant digits, "1E20" rather than "1e+20".
std::string generalNumber(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    std::string s = buf;
    const auto e = s.find('e');
    if (e != std::string::npos) {
        std::string mantissa = s.substr(0, e);
        std::string exponent = s.substr(e + 1);
        const bool negative = exponent[0] == '-';
        exponent = exponent.substr(1);
        while (exponent.size() > 1 && exponent[0] == '0')
            exponent.erase(0, 1);
        s = mantissa + "E" + (negative ? "-" : "") + exponent;
    }
    const auto dot = s.find('.');
    if (dot != std::string::npos)
        s[dot] = FormatSettings().DecimalSeparator;
    return s;
}

} // namespace

std::string formatDisplayText(TFieldType type, const Variant& value) {
    if (value.isNull())
        return {};
    const TFormatSettings& fs = FormatSettings();
    switch (type) {
    case TFieldType::ftInteger:
        return value.type() == VarType::Integer ? std::to_string(value.intValue())
               : RowStore::convert(value, type).isNull()
                   ? std::string()
                   : std::to_string(RowStore::convert(value, type).intValue());
    case TFieldType::ftFloat:
    case TFieldType::ftBCD: {
        const Variant v = RowStore::convert(value, type);
        return v.isNull() ? std::string() : generalNumber(v.floatValue());
    }
    case TFieldType::ftBoolean:
        return value.intValue() ? "True" : "False";
    case TFieldType::ftDate: {
        const Variant v = RowStore::convert(value, type);
        return v.isNull() ? std::string() : formatPattern(fs.ShortDateFormat, v.intValue(), 0, fs);
    }
    case TFieldType::ftTime: {
        const Variant v = RowStore::convert(value, type);
        return v.isNull() ? std::string() : formatPattern(fs.LongTimeFormat, 0, v.intValue(), fs);
    }
    case TFieldType::ftDateTime: {
        const Variant v = RowStore::convert(value, type);
        if (v.isNull())
            return {};
        std::int64_t days = v.intValue() / kMicrosPerDay;
        std::int64_t micros = v.intValue() % kMicrosPerDay;
        if (micros < 0) {
            micros += kMicrosPerDay;
            --days;
        }
        std::string text = formatPattern(fs.ShortDateFormat, days, 0, fs);
        if (micros != 0)
            text += " " + formatPattern(fs.LongTimeFormat, 0, micros, fs);
        return text;
    }
    case TFieldType::ftBlob:
        return "(BLOB)";
    default:
        return value.type() == VarType::Text
                   ? value.textValue()
                   : RowStore::convert(value, TFieldType::ftString).textValue();
    }
}
