#include "app/WindowSet.h"

#include "app/MessageBoxes.h"
#include "app/TApplication.h"
#include "app/Texts.h"
#include "app/Unit1.h"
#include "data/Exceptions.h"
#include "data/Unit3.h"
#include "ui/chart/Unit7.h"
#include "ui/dialogs/Unit4.h"
#include "ui/dialogs/Unit5.h"
#include "ui/dialogs/Unit6.h"
#include "ui/main/Unit2.h"
#include "ui/main/Unit8.h"
#include "ui/main/Unit9.h"

#include <QFileInfo>
#include <typeinfo>

void CreateWindowSet(TApplication& application) {
    application.CreateForm(Form1);
    application.CreateForm(Form2);
    application.CreateForm(DataModule3);
    application.CreateForm(Form4);
    application.CreateForm(Form5);
    application.CreateForm(Form6);
    application.CreateForm(Form7);
    application.CreateForm(Form8);
    application.CreateForm(Form9);
}

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
