#pragma once
// Statement markers: ":name" outside quoted literals becomes a positional
// placeholder '?'. Names only serve to build and search the parameter list;
// values bind by position.
#include <string>
#include <vector>

namespace zemt::data {

struct ParsedStatement {
    std::string text;               ///< markers replaced by '?', "::" by ':'
    std::vector<std::string> names; ///< marker names in order of appearance
};

/// A marker is a colon outside a literal not followed by a second colon; its
/// name runs to the next blank, comma, semicolon, ')', CR, LF or the end.
/// ', " and ` open literals, each closed by the same character.
ParsedStatement parseMarkers(const std::string& sql);

} // namespace zemt::data
