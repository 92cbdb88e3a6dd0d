#include "shell/MessageBoxes.h"

#include "shell/TApplication.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QProxyStyle>
#include <QStyleFactory>

namespace {

MessageBoxHook& currentHook() {
    static MessageBoxHook hook;
    return hook;
}

QString caption() {
    return Application ? Application->Title() : QString();
}

// The buttons of a box stand in the order the program gives them ("OK" before
// "Cancel", "Retry" before "Cancel"), whatever order the desktop theme prefers.
class ProgramButtonOrder : public QProxyStyle {
public:
    ProgramButtonOrder() : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {}
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == SH_DialogButtonLayout)
            return QDialogButtonBox::WinLayout;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

void keepProgramButtonOrder(QMessageBox& box) {
    if (auto* buttons = box.findChild<QDialogButtonBox*>()) {
        auto* style = new ProgramButtonOrder;
        style->setParent(&box);
        buttons->setStyle(style);
    }
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
    // Texts come from data and from the database: never read as markup.
    box.setTextFormat(Qt::PlainText);
    keepProgramButtonOrder(box);
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
