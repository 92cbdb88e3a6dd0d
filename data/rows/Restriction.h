#pragma once
// The text of a detail restriction, "(col=value) AND (col=value)", and the
// reading of such a text back into terms (a data set's own Filter).
#include "data/values/FieldType.h"
#include "data/values/Variant.h"

#include <optional>
#include <string>
#include <vector>

namespace zemt::data {

/// One link pair at the moment of building: the detail column's name and
/// kind, and the master's value with the master column's kind.
struct RestrictionTerm {
    std::string column;
    TFieldType columnKind;
    Variant value;
    TFieldType valueKind;
};

/// "(" column "=" quote value quote ")" per term, joined by " AND ". Text
/// columns are quoted with ', or # when the value holds '; date and time
/// columns with #; others not at all. A null value gives the bare word Null;
/// a column name with a blank goes in square brackets.
std::string buildRestriction(const std::vector<RestrictionTerm>& terms);

/// A term read back: column name and value text (nullopt for Null).
struct ParsedTerm {
    std::string column;
    std::optional<std::string> value;
};

/// Reads a text in the same grammar; nullopt when it is not one.
std::optional<std::vector<ParsedTerm>> parseRestriction(const std::string& text);

} // namespace zemt::data
