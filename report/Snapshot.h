#pragma once
// Report Snapshot File (RSF): generated pages saved so that the preview can
// show them again later. A run's temporary file is one too.
//
// Version 2: "RSF", the byte 26, a 32-bit version, the paper size; then the
// pages, each its item count and items, one after another as they were
// made; then the fonts, the page count and each page's offset in the file;
// last, the offset of that index. So pages are written while a run makes
// them and read back one at a time. Version 1 (still read) held the fonts
// before the pages, no index, and no page-number items.
#include "report/ReportPages.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <memory>
#include <vector>

class QIODevice;

namespace report {

inline constexpr std::uint32_t kSnapshotVersion = 2;

/// Writes a snapshot to a device page by page: the header at once, each
/// page as it is added, the index at finish(). Throws EFOpenError (naming
/// `fileName`) when the device takes less than it is given.
class SnapshotWriter {
public:
    SnapshotWriter(QIODevice& out, QSizeF paper, QString fileName);
    void addPage(const ReportPage& page);
    void finish(const std::vector<FontSpec>& fonts);
    int pageCount() const { return int(m_offsets.size()); }

private:
    void put(const QByteArray& bytes);
    QIODevice& m_out;
    QString m_fileName;
    std::vector<std::uint64_t> m_offsets;
    std::uint64_t m_end = 0;
};

/// A snapshot file read one page at a time; only its index is held.
class SnapshotFile : public PageSource {
public:
    /// Throws EFOpenError when the file cannot be read, EReportError when it
    /// is no version 2 snapshot or its index is damaged.
    explicit SnapshotFile(const QString& fileName);
    QSizeF paper() const override { return m_paper; }
    const std::vector<FontSpec>& fontList() const override { return m_fonts; }
    int pageCount() const override { return int(m_offsets.size()) - 1; }
    ReportPage page(int index) const override;

private:
    mutable QFile m_file;
    QSizeF m_paper;
    std::vector<FontSpec> m_fonts;
    std::vector<std::uint64_t> m_offsets; ///< each page's start, then the index's
};

QByteArray encodeSnapshot(const PageSource& pages);
/// Throws EReportError when the data is not a snapshot or is damaged.
ReportPages decodeSnapshot(const QByteArray& data, const QString& fileName);

/// Throws EFOpenError when the file cannot be written or read.
void saveSnapshot(const PageSource& pages, const QString& fileName);
/// Every page in memory.
ReportPages loadSnapshot(const QString& fileName);
/// The pages of a snapshot file: read from the file as they are needed, or
/// (version 1) in memory.
std::shared_ptr<const PageSource> openSnapshot(const QString& fileName);

} // namespace report
