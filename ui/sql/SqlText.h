#pragma once
// The texts that the windows write into the SQL line slots: the only places
// where typed text goes into SQL, always through quotedLiteral.
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

/// The VALUES line of the payment statement: the four texts as literals, each
/// single quote doubled, with no blanks between them.
std::string paymentValuesLine(const std::string& student, const std::string& cashier,
                              const std::string& month, const std::string& sum);
