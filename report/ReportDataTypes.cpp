#include "report/ReportDataTypes.h"

TReportDataType reportDataType(TReportFieldType type) {
    using F = TReportFieldType;
    using D = TReportDataType;
    switch (type) {
    case F::ftUnknown:
    case F::ftString:
    case F::ftFixedChar:
    case F::ftWideString:
        return D::dtString;
    case F::ftSmallint:
    case F::ftInteger:
    case F::ftWord:
    case F::ftAutoInc:
        return D::dtInteger;
    case F::ftBoolean:
        return D::dtBoolean;
    case F::ftFloat:
        return D::dtFloat;
    case F::ftCurrency:
        return D::dtCurrency;
    case F::ftBCD:
    case F::ftFMTBcd:
        return D::dtBCD;
    case F::ftDate:
        return D::dtDate;
    case F::ftTime:
        return D::dtTime;
    case F::ftDateTime:
    case F::ftTimeStamp:
        return D::dtDateTime;
    case F::ftMemo:
        return D::dtMemo;
    case F::ftGraphic:
        return D::dtGraphic;
    case F::ftLargeint:
        return D::dtInt64;
    default:
        return D::dtBlob;
    }
}
