#include "shell/FallbackErrorDisplay.h"

#include "data/values/Exceptions.h"
#include "shell/MessageBoxes.h"
#include "shell/Texts.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <typeinfo>

void ShowFallbackError(const std::exception& error) {
    const auto* known = dynamic_cast<const Exception*>(&error);
    const QString className =
        QString::fromLatin1(known ? known->className() : typeid(error).name());
    const QString module = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    MessageBoxRequest box;
    box.text = fallbackErrorText(className, module, &error, QString::fromUtf8(error.what()));
    box.caption = QStringLiteral("Application Error");
    box.icon = QMessageBox::Critical;
    box.buttonTexts = {{QMessageBox::Ok, QStringLiteral("OK")}};
    showMessageBox(box);
}
