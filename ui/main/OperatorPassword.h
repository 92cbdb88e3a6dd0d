#pragma once
#include <QString>

/// Whether the entry is exactly the operator password: same length, same
/// characters, case and blanks counting, nothing trimmed. Only a salted hash
/// of the password is kept in the program.
bool isOperatorPassword(const QString& entry);
