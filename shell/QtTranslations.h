#pragma once
// Qt's own texts (standard buttons, the edit menu, file and print dialogs) in
// the workstation's language. The program's own texts are not translated.
class QLocale;

/// Loads Qt's translations for `locale` from the translations that the set-up
/// installs; false when there are none for that language (Qt's English stays).
bool installQtTranslations(const QLocale& locale);
