#pragma once
// The texts the main window writes into the SQL line slots.
#include <string>

/// The text inside single quotes with every single quote written twice, so
/// that no text can end the literal early.
std::string quotedLiteral(const std::string& text);

enum class SearchMode { None, RecordBook, Surname };

/// The filter line for a search, or the current line when no mode is chosen.
std::string searchFilterLine(SearchMode mode, const std::string& searchText,
                             const std::string& currentLine);

/// "ORDER BY <column> ASC" or "... DESC".
std::string sortLine(const std::string& column, bool descending);
