#pragma once
// Column, parameter and component names as the layer compares and lists them.
#include <string>
#include <string_view>
#include <vector>

namespace zemt::data {

/// Equality without regard to case, as names are compared. Names are UTF-8;
/// Latin (with Latin-1 and Latin Extended-A) and Cyrillic letters fold to
/// lower case, and bytes that are not valid UTF-8 compare as they are.
bool sameName(std::string_view a, std::string_view b);

/// The name folded to lower case as sameName folds it, for keys of maps and
/// for searching texts that hold names.
std::string lowerName(std::string_view name);

/// Names separated by ';', blanks around each removed, empty ones skipped.
std::vector<std::string> splitNames(const std::string& list);

} // namespace zemt::data
