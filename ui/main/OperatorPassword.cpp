#include "ui/main/OperatorPassword.h"

#include <QCryptographicHash>

namespace {

constexpr char kSalt[] = "ZEMT-operator-7c1e9a52";
// SHA-256 of the salt followed by the password's UTF-8 bytes.
constexpr char kPasswordHash[] = "4577aa5b958a492fa4b1b1bc452cfb815aec0b763f7fa4e5bf5dcfc15afdfee8";

} // namespace

bool isOperatorPassword(const QString& entry) {
    const QByteArray digest =
        QCryptographicHash::hash(QByteArray(kSalt) + entry.toUtf8(), QCryptographicHash::Sha256);
    return digest.toHex() == QByteArray(kPasswordHash);
}
