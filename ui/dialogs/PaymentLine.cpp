#include "ui/dialogs/PaymentLine.h"

#include "ui/main/StudentSearch.h"

std::string paymentValuesLine(const std::string& student, const std::string& cashier,
                              const std::string& month, const std::string& sum) {
    return "VALUES (" + quotedLiteral(student) + "," + quotedLiteral(cashier) + "," +
           quotedLiteral(month) + "," + quotedLiteral(sum) + ")";
}
