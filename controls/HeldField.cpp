#include "controls/HeldField.h"

#include "data/dataset/TDataSet.h"

bool fieldStillHeld(const TDataSet* dataSet, const TField* field) {
    if (!dataSet || !field || !dataSet->Active())
        return false;
    for (int i = 0; i < dataSet->FieldCount(); ++i) {
        if (dataSet->Fields(i) == field)
            return true;
    }
    return false;
}
