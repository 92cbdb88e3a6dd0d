#pragma once
// Field types as data sets describe them, and the report data types that the
// report engine works with.
#include <cstdint>

/// The field types a data set can report for a column.
enum class TReportFieldType : std::uint8_t {
    ftUnknown,
    ftString,
    ftSmallint,
    ftInteger,
    ftWord,
    ftBoolean,
    ftFloat,
    ftCurrency,
    ftBCD,
    ftDate,
    ftTime,
    ftDateTime,
    ftBytes,
    ftVarBytes,
    ftAutoInc,
    ftBlob,
    ftMemo,
    ftGraphic,
    ftFmtMemo,
    ftParadoxOle,
    ftDBaseOle,
    ftTypedBinary,
    ftCursor,
    ftFixedChar,
    ftWideString,
    ftLargeint,
    ftADT,
    ftArray,
    ftReference,
    ftDataSet,
    ftOraBlob,
    ftOraClob,
    ftVariant,
    ftInterface,
    ftIDispatch,
    ftGuid,
    ftTimeStamp,
    ftFMTBcd
};

/// How the report engine treats a field's values.
enum class TReportDataType : std::uint8_t {
    dtString,
    dtInteger,
    dtBoolean,
    dtFloat,
    dtCurrency,
    dtBCD,
    dtDate,
    dtTime,
    dtDateTime,
    dtBlob,
    dtMemo,
    dtGraphic,
    dtInt64
};

/// The report data type of a field type.
TReportDataType reportDataType(TReportFieldType type);
