#pragma once
// The kinds of value a column holds, shared by held rows, providers and fields.
#include <cstdint>

/// Column kind of a field.
enum class TFieldType : std::uint8_t {
    ftUnknown,
    ftString,   ///< text
    ftInteger,  ///< whole number
    ftBoolean,  ///< true or false
    ftFloat,    ///< floating-point number
    ftBCD,      ///< fixed-point number (decimal, numeric, money)
    ftDate,     ///< date
    ftTime,     ///< time of day
    ftDateTime, ///< date and time
    ftBlob,     ///< bytes; shown as "(BLOB)" and never edited in place
};
