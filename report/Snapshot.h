#pragma once
// Report Snapshot File (RSF): generated pages saved so that the preview can
// show them again later. "RSF", the byte 26, a 32-bit version, the paper
// size, the fonts, then the pages with their items.
#include "report/ReportPages.h"

#include <QByteArray>
#include <QString>

namespace report {

inline constexpr std::uint32_t kSnapshotVersion = 1;

QByteArray encodeSnapshot(const ReportPages& pages);
/// Throws EReportError when the data is not a snapshot or is damaged.
ReportPages decodeSnapshot(const QByteArray& data, const QString& fileName);

/// Throws EFOpenError when the file cannot be written or read.
void saveSnapshot(const ReportPages& pages, const QString& fileName);
ReportPages loadSnapshot(const QString& fileName);

} // namespace report
