#pragma once
// Column, parameter and component names as the layer compares and lists them.
#include <string>
#include <vector>

namespace zemt::data {

/// ASCII case-insensitive equality, as identifiers are compared.
bool sameName(const std::string& a, const std::string& b);

/// Names separated by ';', blanks around each removed, empty ones skipped.
std::vector<std::string> splitNames(const std::string& list);

} // namespace zemt::data
