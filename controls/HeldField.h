#pragma once
// Whether a field a control remembers still belongs to its data set.
class TDataSet;
class TField;

/// True when the field is one of the open data set's fields. A data set whose
/// controls are disabled may close, reopen and remake its fields without a
/// notice until its controls are enabled again, and a closing data set ends
/// editing before it reports the close; a control checks before it reads.
bool fieldStillHeld(const TDataSet* dataSet, const TField* field);
