#pragma once
// Pure text rules of the application shell; no QApplication needed.
#include <QString>

/// The application title: the file name after the last '/', cut at its first
/// '.', with every character after the first in lower case.
QString applicationTitleFromPath(const QString& executablePath);

/// The message as the default error display shows it: a '.' is appended when
/// the text is not empty and its last character has a code above that of '.'.
QString withClosingPeriod(const QString& message);

/// The fallback display's text for an error raised before the run loop.
QString fallbackErrorText(const QString& className, const QString& moduleName, const void* address,
                          const QString& message);
