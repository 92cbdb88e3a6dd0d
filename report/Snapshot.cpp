#include "report/Snapshot.h"
#include "report/BinaryStream.h"
#include "report/ReportErrors.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace report {

namespace {

const QByteArray kSignature("RSF\x1A", 4);

[[noreturn]] void throwOpenError(const QString& fileName, const QString& reason) {
    throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2")
                          .arg(QFileInfo(fileName).absoluteFilePath(), reason)
                          .toStdString());
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

PageItem readItem(BinaryReader& r, size_t fontCount) {
    PageItem item;
    const std::uint8_t kind = r.u8();
    if (kind < 1 || kind > 3)
        r.fail(QStringLiteral("unknown item kind %1").arg(kind));
    item.kind = PageItem::Kind(kind);
    const double x = r.f64(), y = r.f64(), w = r.f64(), h = r.f64();
    item.rect = QRectF(x, y, w, h);
    item.text = r.string();
    item.font = r.u16();
    if (item.kind == PageItem::Kind::Text && item.font >= fontCount)
        r.fail(QStringLiteral("font %1 of %2").arg(item.font).arg(fontCount));
    const std::uint8_t align = r.u8();
    if (align > std::uint8_t(Align::Right))
        r.fail(QStringLiteral("unknown alignment %1").arg(align));
    item.align = Align(align);
    item.penWidth = r.f64();
    return item;
}

} // namespace

QByteArray encodeSnapshot(const ReportPages& pages) {
    BinaryWriter w;
    w.bytes(kSignature);
    w.u32(kSnapshotVersion);
    w.f64(pages.paperSize.width());
    w.f64(pages.paperSize.height());
    w.u32(std::uint32_t(pages.fonts.size()));
    for (const FontSpec& f : pages.fonts) {
        w.string(f.family);
        w.f64(f.pointSize);
        w.u8(std::uint8_t((f.bold ? 1 : 0) | (f.italic ? 2 : 0)));
    }
    w.u32(std::uint32_t(pages.pages.size()));
    for (const ReportPage& page : pages.pages) {
        w.u32(std::uint32_t(page.items.size()));
        for (const PageItem& item : page.items)
            writeItem(w, item);
    }
    return w.data();
}

ReportPages decodeSnapshot(const QByteArray& data, const QString& fileName) {
    if (!data.startsWith(kSignature))
        throw EReportError(
            QStringLiteral("\"%1\" is not a report snapshot file").arg(fileName).toStdString());
    BinaryReader r(data, QStringLiteral("Report snapshot \"%1\"").arg(fileName), 4);
    const std::uint32_t version = r.u32();
    if (version != kSnapshotVersion)
        throw EReportError(QStringLiteral("Report snapshot \"%1\" has version %2; this program "
                                          "reads version %3")
                               .arg(fileName)
                               .arg(version)
                               .arg(kSnapshotVersion)
                               .toStdString());
    ReportPages pages;
    const double w = r.f64(), h = r.f64();
    if (w < 10 || h < 10 || w > 5000 || h > 5000)
        r.fail(QStringLiteral("a page of %1 x %2 mm").arg(w).arg(h));
    pages.paperSize = QSizeF(w, h);
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
        pages.fonts.push_back(f);
    }
    const std::uint32_t pageCount = r.count(4);
    pages.pages.resize(pageCount);
    for (ReportPage& page : pages.pages) {
        const std::uint32_t n = r.count(48);
        page.items.reserve(n);
        for (std::uint32_t i = 0; i < n; ++i)
            page.items.push_back(readItem(r, pages.fonts.size()));
    }
    if (!r.atEnd())
        r.fail(QStringLiteral("data after the last page"));
    return pages;
}

void saveSnapshot(const ReportPages& pages, const QString& fileName) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throwOpenError(fileName, file.errorString());
    file.write(encodeSnapshot(pages));
    if (!file.commit())
        throwOpenError(fileName, file.errorString());
}

ReportPages loadSnapshot(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throwOpenError(fileName, file.errorString());
    return decodeSnapshot(file.readAll(), fileName);
}

} // namespace report
