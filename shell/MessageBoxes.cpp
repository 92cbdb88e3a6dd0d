#include "shell/MessageBoxes.h"

#include "shell/TApplication.h"

#include <QAbstractButton>
#include <QApplication>

namespace {

MessageBoxHook& currentHook() {
    static MessageBoxHook hook;
    return hook;
}

QString caption() {
    return Application ? Application->Title() : QString();
}

} // namespace

MessageBoxHook setMessageBoxHook(MessageBoxHook hook) {
    MessageBoxHook previous = std::move(currentHook());
    currentHook() = std::move(hook);
    return previous;
}

QMessageBox::StandardButton showMessageBox(const MessageBoxRequest& request) {
    if (currentHook())
        return currentHook()(request);
    QMessageBox box(request.icon, request.caption, request.text, request.buttons);
    box.setDefaultButton(request.defaultButton);
    box.setEscapeButton(request.escapeButton);
    for (auto it = request.buttonTexts.cbegin(); it != request.buttonTexts.cend(); ++it) {
        if (QAbstractButton* b = box.button(it.key()))
            b->setText(it.value());
    }
    // Application-modal: while it is open no other window of ours takes input.
    box.setWindowModality(Qt::ApplicationModal);
    QWidget* previous = QApplication::activeWindow();
    QWidget* focus = QApplication::focusWidget();
    const int chosen = box.exec();
    if (previous && previous->isVisible())
        previous->activateWindow();
    if (focus)
        focus->setFocus();
    auto button = static_cast<QMessageBox::StandardButton>(chosen);
    return request.buttons.testFlag(button) ? button : request.escapeButton;
}

void showErrorBox(const QString& text, const QString& boxCaption) {
    MessageBoxRequest r;
    r.text = text;
    r.caption = boxCaption;
    r.icon = QMessageBox::Critical;
    r.buttonTexts = {{QMessageBox::Ok, QStringLiteral("OK")}};
    showMessageBox(r);
}

void showPlainMessage(const QString& text) {
    MessageBoxRequest r;
    r.text = text;
    r.caption = caption();
    r.buttonTexts = {{QMessageBox::Ok, QStringLiteral("OK")}};
    showMessageBox(r);
}

bool confirmDeleteRecord() {
    MessageBoxRequest r;
    r.text = QStringLiteral("Delete record?");
    r.caption = QStringLiteral("Confirm");
    r.icon = QMessageBox::Question;
    r.buttons = QMessageBox::Ok | QMessageBox::Cancel;
    r.defaultButton = QMessageBox::Ok;
    r.escapeButton = QMessageBox::Cancel;
    r.buttonTexts = {{QMessageBox::Ok, QStringLiteral("OK")},
                     {QMessageBox::Cancel, QStringLiteral("Cancel")}};
    return showMessageBox(r) == QMessageBox::Ok;
}
