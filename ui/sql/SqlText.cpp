#include "ui/sql/SqlText.h"

std::string quotedLiteral(const std::string& text) {
    std::string literal = "'";
    for (char c : text) {
        literal += c;
        if (c == '\'')
            literal += '\'';
    }
    return literal + "'";
}

std::string searchFilterLine(SearchMode mode, const std::string& searchText,
                             const std::string& currentLine) {
    switch (mode) {
    case SearchMode::RecordBook:
        return "where Id_zach=" + quotedLiteral(searchText);
    case SearchMode::Surname:
        return "where Fname=" + quotedLiteral(searchText);
    case SearchMode::None:
        break;
    }
    return currentLine;
}

std::string sortLine(const std::string& column, bool descending) {
    return "ORDER BY " + column + (descending ? " DESC" : " ASC");
}

std::string paymentValuesLine(const std::string& student, const std::string& cashier,
                              const std::string& month, const std::string& sum) {
    return "VALUES (" + quotedLiteral(student) + "," + quotedLiteral(cashier) + "," +
           quotedLiteral(month) + "," + quotedLiteral(sum) + ")";
}
