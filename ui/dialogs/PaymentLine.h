#pragma once
#include <string>

/// The VALUES line of the payment statement: the four texts as literals, each
/// single quote doubled, with no blanks between them.
std::string paymentValuesLine(const std::string& student, const std::string& cashier,
                              const std::string& month, const std::string& sum);
