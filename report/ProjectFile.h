#pragma once
// The report project file: "RPJ", the byte 26, a 32-bit version, a flag byte,
// a block of modules, the name of the active report, then a body of tagged,
// length-prefixed items (settings, data views, reports).
#include "report/ReportLayout.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace report {

/// The version this program writes and the newest it reads.
inline constexpr std::uint32_t kProjectFileVersion = 40100;
/// The oldest version of this body layout.
inline constexpr std::uint32_t kOldestProjectFileVersion = 40100;

/// Encodes a project; the result starts with the signature.
QByteArray encodeProject(const Project& project);

/// Decodes file contents. An empty array gives a project with one report of
/// one blank page. Throws EReportError with "Invalid Project Format",
/// "Invalid Project Header Code", a version message or a damage message.
/// `fileName` only names the file in messages.
Project decodeProject(const QByteArray& contents, const QString& fileName);

/// Reads and decodes a file; "Cannot open file "%s". %s" (EFOpenError) when it
/// cannot be read.
Project loadProjectFile(const QString& fileName);

/// Writes a project file; throws EFOpenError when it cannot be written.
void saveProjectFile(const Project& project, const QString& fileName);

} // namespace report
