#pragma once
// How a held value reads as text: by column kind, formatted by FormatSettings().
#include "data/values/FieldType.h"
#include "data/values/Variant.h"

#include <string>

/// Display text of a value of the given kind, formatted by FormatSettings().
std::string formatDisplayText(TFieldType type, const Variant& value);
