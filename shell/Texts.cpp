#include "shell/Texts.h"

QString applicationTitleFromPath(const QString& executablePath) {
    QString name = executablePath.mid(executablePath.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    if (name.size() > 1)
        name = name.left(1) + name.mid(1).toLower();
    return name;
}

QString withClosingPeriod(const QString& message) {
    if (message.isEmpty() || message.back().unicode() <= u'.')
        return message;
    return message + QLatin1Char('.');
}

QString fallbackErrorText(const QString& className, const QString& moduleName, const void* address,
                          const QString& message) {
    const bool needsPeriod = !message.isEmpty() && !message.endsWith(QLatin1Char('.'));
    return QStringLiteral("Exception %1 in module %2 at %3.\r\n%4%5\r\n")
        .arg(className, moduleName,
             QStringLiteral("%1")
                 .arg(reinterpret_cast<quintptr>(address), 8, 16, QLatin1Char('0'))
                 .toUpper(),
             message, needsPeriod ? QStringLiteral(".") : QString());
}
