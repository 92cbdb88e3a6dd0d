#pragma once
// Every modal message box of the program goes through here, so that tests can
// answer boxes through a hook instead of waiting for a window.
#include <QMessageBox>
#include <QString>
#include <functional>

struct MessageBoxRequest {
    QString text;
    QString caption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton defaultButton = QMessageBox::Ok;
    QMessageBox::StandardButton escapeButton = QMessageBox::Ok;
    /// Button texts that replace the platform's translated ones ("OK", "Cancel").
    QMap<QMessageBox::StandardButton, QString> buttonTexts;
};

using MessageBoxHook = std::function<QMessageBox::StandardButton(const MessageBoxRequest&)>;

/// Shows the box modally (every other window disabled) and returns the button
/// chosen; closing the box counts as its escape button. The text is plain text,
/// and the buttons keep the program's order on every desktop theme.
QMessageBox::StandardButton showMessageBox(const MessageBoxRequest& request);

/// Installs a hook that answers every box instead of showing it (tests); an
/// empty hook restores the real boxes. Returns the previous hook.
MessageBoxHook setMessageBoxHook(MessageBoxHook hook);

/// The error box of the default error display: error icon, one "OK".
void showErrorBox(const QString& text, const QString& caption);

/// The plain message dialog: no icon, one "OK", the application title as caption.
void showPlainMessage(const QString& text);

/// "Delete record?" titled "Confirm" with the question icon, "OK" (default)
/// and "Cancel"; true when the user chose "OK".
bool confirmDeleteRecord();
