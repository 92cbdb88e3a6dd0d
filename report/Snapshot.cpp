#include "report/Snapshot.h"
#include "report/BinaryStream.h"
#include "report/ReportErrors.h"

#include <QBuffer>
#include <QFileInfo>
#include <QSaveFile>

namespace report {

namespace {

const QByteArray kSignature("RSF\x1A", 4);
/// Signature, version and paper size.
constexpr qsizetype kHeaderSize = 4 + 4 + 8 + 8;
/// The smallest item: kind, rectangle, empty text, font, alignment, pen.
constexpr qsizetype kItemMinBytes = 1 + 32 + 4 + 2 + 1 + 8;
/// The offset of the index, at the very end of a version 2 file.
constexpr qsizetype kTailSize = 8;

[[noreturn]] void throwOpenError(const QString& fileName, const QString& reason) {
    throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2")
                          .arg(QFileInfo(fileName).absoluteFilePath(), reason)
                          .toStdString());
}

QString contextOf(const QString& fileName) {
    return QStringLiteral("Report snapshot \"%1\"").arg(fileName);
}

void writeItem(BinaryWriter& w, const PageItem& item) {
    w.u8(std::uint8_t(item.kind));
    w.f64(item.rect.x());
    w.f64(item.rect.y());
    w.f64(item.rect.width());
    w.f64(item.rect.height());
    w.string(item.text);
    w.u16(item.font);
    w.u8(std::uint8_t(item.align));
    w.f64(item.penWidth);
}

/// Version 1 knew no page-number items.
PageItem readItem(BinaryReader& r, size_t fontCount, std::uint32_t version) {
    PageItem item;
    const std::uint8_t kind = r.u8();
    const std::uint8_t lastKind = version == 1 ? 3 : 4;
    if (kind < 1 || kind > lastKind)
        r.fail(QStringLiteral("unknown item kind %1").arg(kind));
    item.kind = PageItem::Kind(kind);
    const double x = r.f64(), y = r.f64(), w = r.f64(), h = r.f64();
    item.rect = QRectF(x, y, w, h);
    item.text = r.string();
    item.font = r.u16();
    if (item.isText() && item.font >= fontCount)
        r.fail(QStringLiteral("font %1 of %2").arg(item.font).arg(fontCount));
    const std::uint8_t align = r.u8();
    if (align > std::uint8_t(Align::Right))
        r.fail(QStringLiteral("unknown alignment %1").arg(align));
    item.align = Align(align);
    item.penWidth = r.f64();
    return item;
}

ReportPage readPage(BinaryReader& r, size_t fontCount, std::uint32_t version) {
    ReportPage page;
    const std::uint32_t n = r.count(kItemMinBytes);
    page.items.reserve(n);
    for (std::uint32_t i = 0; i < n; ++i)
        page.items.push_back(readItem(r, fontCount, version));
    return page;
}

/// Checks the signature and the version; the version.
std::uint32_t readVersion(const QByteArray& head, const QString& fileName) {
    if (!head.startsWith(kSignature))
        throw EReportError(
            QStringLiteral("\"%1\" is not a report snapshot file").arg(fileName).toStdString());
    BinaryReader r(head, contextOf(fileName), 4);
    const std::uint32_t version = r.u32();
    if (version != 1 && version != kSnapshotVersion)
        throw EReportError(QStringLiteral("Report snapshot \"%1\" has version %2; this program "
                                          "reads versions 1 and %3")
                               .arg(fileName)
                               .arg(version)
                               .arg(kSnapshotVersion)
                               .toStdString());
    return version;
}

QSizeF readPaper(BinaryReader& r) {
    const double w = r.f64(), h = r.f64();
    if (w < 10 || h < 10 || w > 5000 || h > 5000)
        r.fail(QStringLiteral("a page of %1 x %2 mm").arg(w).arg(h));
    return QSizeF(w, h);
}

void writeFonts(BinaryWriter& w, const std::vector<FontSpec>& fonts) {
    w.u32(std::uint32_t(fonts.size()));
    for (const FontSpec& f : fonts) {
        w.string(f.family);
        w.f64(f.pointSize);
        w.u8(std::uint8_t((f.bold ? 1 : 0) | (f.italic ? 2 : 0)));
    }
}

std::vector<FontSpec> readFonts(BinaryReader& r) {
    std::vector<FontSpec> fonts;
    const std::uint32_t fontCount = r.count(13);
    if (fontCount > 65535)
        r.fail(QStringLiteral("%1 fonts").arg(fontCount));
    for (std::uint32_t i = 0; i < fontCount; ++i) {
        FontSpec f;
        f.family = r.string();
        f.pointSize = r.f64();
        if (f.pointSize <= 0 || f.pointSize > 500)
            r.fail(QStringLiteral("a font size of %1 pt").arg(f.pointSize));
        const std::uint8_t style = r.u8();
        f.bold = style & 1;
        f.italic = style & 2;
        fonts.push_back(f);
    }
    return fonts;
}

/// The index of a version 2 snapshot: read from `r`, which holds exactly
/// the bytes from `indexOffset` to the tail. The offsets get the index's
/// own offset appended, so that page i lies between offsets i and i + 1.
void readIndex(BinaryReader& r, std::uint64_t indexOffset, std::vector<FontSpec>& fonts,
               std::vector<std::uint64_t>& offsets) {
    fonts = readFonts(r);
    const std::uint32_t pages = r.count(8);
    offsets.clear();
    offsets.reserve(size_t(pages) + 1);
    std::uint64_t expected = kHeaderSize; // pages follow the header without a gap
    for (std::uint32_t i = 0; i < pages; ++i) {
        const std::uint64_t offset = r.u64();
        if (i == 0 ? offset != expected : offset < expected)
            r.fail(QStringLiteral("page %1 starts at %2").arg(i + 1).arg(offset));
        if (offset > indexOffset - 4)
            r.fail(QStringLiteral("page %1 starts after the pages end").arg(i + 1));
        offsets.push_back(offset);
        expected = offset + 4;
    }
    if (!r.atEnd())
        r.fail(QStringLiteral("data after the page index"));
    if (pages == 0 && indexOffset != std::uint64_t(kHeaderSize))
        r.fail(QStringLiteral("pages without an index"));
    offsets.push_back(indexOffset);
}

/// The index offset from the tail of a version 2 snapshot of `size` bytes.
std::uint64_t readIndexOffset(const QByteArray& tail, qint64 size, const QString& fileName) {
    BinaryReader r(tail, contextOf(fileName));
    const std::uint64_t offset = r.u64();
    if (offset < std::uint64_t(kHeaderSize) || offset > std::uint64_t(size - kTailSize))
        r.fail(QStringLiteral("an index at %1").arg(offset));
    return offset;
}

ReportPages decodeVersion1(BinaryReader& r) {
    ReportPages pages;
    pages.paperSize = readPaper(r);
    pages.fonts = readFonts(r);
    const std::uint32_t pageCount = r.count(4);
    pages.pages.reserve(pageCount);
    for (std::uint32_t i = 0; i < pageCount; ++i)
        pages.pages.push_back(readPage(r, pages.fonts.size(), 1));
    if (!r.atEnd())
        r.fail(QStringLiteral("data after the last page"));
    return pages;
}

ReportPages decodeVersion2(const QByteArray& data, const QString& fileName) {
    const QString context = contextOf(fileName);
    if (data.size() < kHeaderSize + kTailSize)
        BinaryReader(data, context, data.size()).fail(QStringLiteral("unexpected end of data"));
    BinaryReader header(data, context, 8);
    ReportPages pages;
    pages.paperSize = readPaper(header);
    const qsizetype size = data.size();
    const std::uint64_t indexOffset = readIndexOffset(data.right(kTailSize), size, fileName);
    BinaryReader index(data.mid(qsizetype(indexOffset), size - kTailSize - qsizetype(indexOffset)),
                       context);
    std::vector<std::uint64_t> offsets;
    readIndex(index, indexOffset, pages.fonts, offsets);
    for (size_t i = 0; i + 1 < offsets.size(); ++i) {
        BinaryReader r(data.mid(qsizetype(offsets[i]), qsizetype(offsets[i + 1] - offsets[i])),
                       context);
        pages.pages.push_back(readPage(r, pages.fonts.size(), 2));
        if (!r.atEnd())
            r.fail(QStringLiteral("data after page %1").arg(i + 1));
    }
    return pages;
}

} // namespace

SnapshotWriter::SnapshotWriter(QIODevice& out, QSizeF paper, QString fileName)
    : m_out(out), m_fileName(std::move(fileName)) {
    BinaryWriter w;
    w.bytes(kSignature);
    w.u32(kSnapshotVersion);
    w.f64(paper.width());
    w.f64(paper.height());
    put(w.data());
}

void SnapshotWriter::put(const QByteArray& bytes) {
    if (m_out.write(bytes) != bytes.size())
        throw EFOpenError(QStringLiteral("Cannot create file \"%1\". %2")
                              .arg(m_fileName, m_out.errorString())
                              .toStdString());
    m_end += std::uint64_t(bytes.size());
}

void SnapshotWriter::addPage(const ReportPage& page) {
    m_offsets.push_back(m_end);
    BinaryWriter w;
    w.u32(std::uint32_t(page.items.size()));
    for (const PageItem& item : page.items)
        writeItem(w, item);
    put(w.data());
}

void SnapshotWriter::finish(const std::vector<FontSpec>& fonts) {
    const std::uint64_t indexOffset = m_end;
    BinaryWriter w;
    writeFonts(w, fonts);
    w.u32(std::uint32_t(m_offsets.size()));
    for (std::uint64_t offset : m_offsets)
        w.u64(offset);
    w.u64(indexOffset);
    put(w.data());
    auto* file = qobject_cast<QFileDevice*>(&m_out);
    if (file && !file->flush())
        throw EFOpenError(QStringLiteral("Cannot create file \"%1\". %2")
                              .arg(m_fileName, file->errorString())
                              .toStdString());
}

SnapshotFile::SnapshotFile(const QString& fileName) : m_file(fileName) {
    if (!m_file.open(QIODevice::ReadOnly))
        throwOpenError(fileName, m_file.errorString());
    const QString context = contextOf(fileName);
    const QByteArray head = m_file.read(kHeaderSize);
    if (readVersion(head, fileName) != kSnapshotVersion)
        throw EReportError(QStringLiteral("Report snapshot \"%1\" is no version %2 snapshot")
                               .arg(fileName)
                               .arg(kSnapshotVersion)
                               .toStdString());
    const qint64 size = m_file.size();
    if (head.size() < kHeaderSize || size < kHeaderSize + kTailSize)
        BinaryReader(head, context, head.size()).fail(QStringLiteral("unexpected end of data"));
    BinaryReader header(head, context, 8);
    m_paper = readPaper(header);
    m_file.seek(size - kTailSize);
    const std::uint64_t indexOffset = readIndexOffset(m_file.read(kTailSize), size, fileName);
    m_file.seek(qint64(indexOffset));
    BinaryReader index(m_file.read(size - kTailSize - qint64(indexOffset)), context);
    readIndex(index, indexOffset, m_fonts, m_offsets);
}

ReportPage SnapshotFile::page(int index) const {
    const QString context = contextOf(m_file.fileName());
    if (index < 0 || index >= pageCount())
        throw EReportError(
            QStringLiteral("%1 has no page %2").arg(context).arg(index + 1).toStdString());
    const std::uint64_t start = m_offsets[size_t(index)];
    const qint64 length = qint64(m_offsets[size_t(index) + 1] - start);
    QByteArray bytes;
    if (m_file.seek(qint64(start)))
        bytes = m_file.read(length);
    BinaryReader r(bytes, context);
    if (bytes.size() != length)
        r.fail(QStringLiteral("page %1 cannot be read").arg(index + 1));
    ReportPage page = readPage(r, m_fonts.size(), kSnapshotVersion);
    if (!r.atEnd())
        r.fail(QStringLiteral("data after page %1").arg(index + 1));
    return page;
}

QByteArray encodeSnapshot(const PageSource& pages) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    SnapshotWriter w(buffer, pages.paper(), QString());
    for (int i = 0; i < pages.pageCount(); ++i)
        w.addPage(pages.page(i));
    w.finish(pages.fontList());
    buffer.close();
    return data;
}

ReportPages decodeSnapshot(const QByteArray& data, const QString& fileName) {
    if (readVersion(data, fileName) == 1) {
        BinaryReader r(data, contextOf(fileName), 8);
        return decodeVersion1(r);
    }
    return decodeVersion2(data, fileName);
}

void saveSnapshot(const PageSource& pages, const QString& fileName) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throwOpenError(fileName, file.errorString());
    // Page by page: saving a long report holds one page at a time.
    SnapshotWriter w(file, pages.paper(), QFileInfo(fileName).absoluteFilePath());
    for (int i = 0; i < pages.pageCount(); ++i)
        w.addPage(pages.page(i));
    w.finish(pages.fontList());
    if (!file.commit())
        throwOpenError(fileName, file.errorString());
}

ReportPages loadSnapshot(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throwOpenError(fileName, file.errorString());
    return decodeSnapshot(file.readAll(), fileName);
}

std::shared_ptr<const PageSource> openSnapshot(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throwOpenError(fileName, file.errorString());
    if (readVersion(file.read(8), fileName) == 1 && file.seek(0))
        return std::make_shared<ReportPages>(decodeSnapshot(file.readAll(), fileName));
    auto pages = std::make_shared<SnapshotFile>(fileName);
    // Every page is read once now, so that a damaged one is an error here
    // and not when the preview paints it.
    for (int i = 0; i < pages->pageCount(); ++i)
        pages->page(i);
    return pages;
}

} // namespace report
