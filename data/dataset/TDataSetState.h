#pragma once
#include <cstdint>

class TField;

/// State of a data set, and of a data source that follows it.
enum class TDataSetState : std::uint8_t {
    dsInactive, ///< closed: no fields, no held rows
    dsBrowse,   ///< open, no pending row
    dsEdit,     ///< the current row is being changed
    dsInsert    ///< a new row is pending, not yet sent
};

/// Notices a data set sends to its data sources.
enum class TDataEvent : std::uint8_t {
    deFieldChange,     ///< a field of the current row changed value (info.field)
    deRecordChange,    ///< the current row changed as a whole
    deDataSetChange,   ///< rows, order or contents changed; controls repaint
    deDataSetScroll,   ///< the current row moved (info.distance)
    deLayoutChange,    ///< the field layout changed (order, widths)
    deUpdateRecord,    ///< controls must write typed values into the pending row
    deUpdateState,     ///< the state may have changed
    deCheckBrowseMode, ///< a pending row is about to be settled
};

/// What a notice carries beside its kind.
struct TDataEventInfo {
    TField* field = nullptr; ///< deFieldChange: the field that changed
    int distance = 0;        ///< deDataSetScroll: rows the current row moved (negative: back)
};
