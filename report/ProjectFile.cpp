#include "report/ProjectFile.h"
#include "report/BinaryStream.h"
#include "report/ReportErrors.h"

#include <QFile>
#include <QFileInfo>

namespace report {

namespace {

const QByteArray kSignature("RPJ\x1A", 4);

// Items follow one another up to the end tag; a file cut between two items
// is then still recognised as cut.
enum class Tag : std::uint8_t { DataView = 1, Report = 2, End = 0xFF };

void writeFont(BinaryWriter& w, const FontSpec& f) {
    w.string(f.family);
    w.f64(f.pointSize);
    w.u8(std::uint8_t((f.bold ? 1 : 0) | (f.italic ? 2 : 0)));
}

FontSpec readFont(BinaryReader& r) {
    FontSpec f;
    f.family = r.string();
    f.pointSize = r.f64();
    if (f.pointSize <= 0 || f.pointSize > 500)
        r.fail(QStringLiteral("a font size of %1 pt").arg(f.pointSize));
    const std::uint8_t style = r.u8();
    f.bold = style & 1;
    f.italic = style & 2;
    return f;
}

QByteArray encodeItem(const LayoutItem& item) {
    BinaryWriter w;
    w.u8(std::uint8_t(item.kind));
    w.f64(item.x);
    w.f64(item.y);
    w.f64(item.width);
    w.f64(item.height);
    w.string(item.text);
    writeFont(w, item.font);
    w.u8(std::uint8_t(item.align));
    w.f64(item.penWidth);
    w.string(item.format);
    return w.data();
}

LayoutItem decodeItem(BinaryReader r) {
    LayoutItem item;
    const std::uint8_t kind = r.u8();
    if (kind < std::uint8_t(ItemKind::Text) || kind > std::uint8_t(ItemKind::Continued))
        r.fail(QStringLiteral("unknown item kind %1").arg(kind));
    item.kind = ItemKind(kind);
    item.x = r.f64();
    item.y = r.f64();
    item.width = r.f64();
    item.height = r.f64();
    item.text = r.string();
    item.font = readFont(r);
    const std::uint8_t align = r.u8();
    if (align > std::uint8_t(Align::Right))
        r.fail(QStringLiteral("unknown alignment %1").arg(align));
    item.align = Align(align);
    item.penWidth = r.f64();
    if (!r.atEnd()) // older projects end the item here
        item.format = r.string();
    return item;
}

QByteArray encodeBand(const Band& band) {
    BinaryWriter w;
    w.u8(std::uint8_t(band.kind));
    w.f64(band.height);
    w.string(band.dataView);
    w.string(band.masterField);
    w.string(band.detailField);
    w.u32(std::uint32_t(band.items.size()));
    for (const LayoutItem& item : band.items)
        w.block(encodeItem(item));
    return w.data();
}

Band decodeBand(BinaryReader r) {
    Band band;
    const std::uint8_t kind = r.u8();
    if (kind < std::uint8_t(BandKind::PageHeader) || kind > std::uint8_t(BandKind::Summary))
        r.fail(QStringLiteral("unknown band kind %1").arg(kind));
    band.kind = BandKind(kind);
    band.height = r.f64();
    if (band.height < 0 || band.height > 10000)
        r.fail(QStringLiteral("a band height of %1 mm").arg(band.height));
    band.dataView = r.string();
    band.masterField = r.string();
    band.detailField = r.string();
    const std::uint32_t n = r.count(4);
    band.items.reserve(n);
    for (std::uint32_t i = 0; i < n; ++i)
        band.items.push_back(decodeItem(r.block()));
    return band;
}

QByteArray encodeReport(const Report& report) {
    BinaryWriter w;
    w.string(report.name);
    const PageSetup& p = report.page;
    for (double v : {p.width, p.height, p.left, p.top, p.right, p.bottom})
        w.f64(v);
    w.u32(std::uint32_t(report.bands.size()));
    for (const Band& band : report.bands)
        w.block(encodeBand(band));
    return w.data();
}

Report decodeReport(BinaryReader r) {
    Report report;
    report.name = r.string();
    PageSetup& p = report.page;
    for (double* v : {&p.width, &p.height, &p.left, &p.top, &p.right, &p.bottom})
        *v = r.f64();
    if (p.width < 10 || p.height < 10 || p.width > 5000 || p.height > 5000)
        r.fail(QStringLiteral("a page of %1 x %2 mm").arg(p.width).arg(p.height));
    if (p.left < 0 || p.top < 0 || p.right < 0 || p.bottom < 0 || p.left + p.right >= p.width ||
        p.top + p.bottom >= p.height)
        r.fail(QStringLiteral("margins that leave no room on the page"));
    const std::uint32_t n = r.count(4);
    report.bands.reserve(n);
    for (std::uint32_t i = 0; i < n; ++i)
        report.bands.push_back(decodeBand(r.block()));
    return report;
}

// A band naming a data view the project lacks cannot run; say so at load
// time rather than half-way through a run.
void checkReferences(const Project& project, const QString& fileName) {
    for (const Report& report : project.reports)
        for (const Band& band : report.bands) {
            const bool needsView = band.kind == BandKind::Data || band.kind == BandKind::Detail;
            if (needsView && !project.findDataView(band.dataView))
                throw EReportError(
                    QStringLiteral("Report project \"%1\" is damaged: report \"%2\" uses the "
                                   "unknown data view \"%3\"")
                        .arg(fileName, report.name, band.dataView)
                        .toStdString());
        }
}

Project blankProject() {
    Project project;
    Report report;
    report.name = QStringLiteral("Report1");
    project.reports.push_back(report);
    return project;
}

} // namespace

QByteArray encodeProject(const Project& project) {
    BinaryWriter w;
    w.bytes(kSignature);
    w.u32(kProjectFileVersion);
    w.u8(0);  // header flag: never set by a sound writer
    w.u32(0); // modules: this engine keeps no code in its projects
    w.string(project.savedActiveReport);
    BinaryWriter settings;
    settings.string(project.settings.title);
    settings.string(project.settings.author);
    w.block(settings.data());
    for (const DataView& view : project.dataViews) {
        BinaryWriter item;
        item.string(view.name);
        item.string(view.connection);
        w.u8(std::uint8_t(Tag::DataView));
        w.block(item.data());
    }
    for (const Report& report : project.reports) {
        w.u8(std::uint8_t(Tag::Report));
        w.block(encodeReport(report));
    }
    w.u8(std::uint8_t(Tag::End));
    return w.data();
}

Project decodeProject(const QByteArray& contents, const QString& fileName) {
    if (contents.isEmpty())
        return blankProject();
    if (!contents.startsWith(kSignature))
        throw EReportError("Invalid Project Format");
    BinaryReader r(contents, QStringLiteral("Report project \"%1\"").arg(fileName), 4);
    const std::uint32_t version = r.u32();
    if (r.u8() != 0)
        throw EReportError("Invalid Project Header Code");
    if (version > kProjectFileVersion)
        throw EReportError(QStringLiteral("Report project \"%1\" has version %2; this program "
                                          "reads versions up to %3")
                               .arg(fileName)
                               .arg(version)
                               .arg(kProjectFileVersion)
                               .toStdString());
    if (version < kOldestProjectFileVersion)
        throw EReportError(QStringLiteral("Report project \"%1\" has version %2, which this "
                                          "program does not read")
                               .arg(fileName)
                               .arg(version)
                               .toStdString());
    const std::uint32_t modules = r.count(4);
    for (std::uint32_t i = 0; i < modules; ++i)
        r.block(); // modules hold code of other engines; nothing here runs them

    Project project;
    project.savedActiveReport = r.string();
    BinaryReader settings = r.block();
    project.settings.title = settings.string();
    project.settings.author = settings.string();
    for (;;) {
        const std::uint8_t tag = r.u8();
        if (tag == std::uint8_t(Tag::End))
            break;
        BinaryReader item = r.block();
        if (tag == std::uint8_t(Tag::DataView)) {
            DataView view;
            view.name = item.string();
            view.connection = item.string();
            project.dataViews.push_back(view);
        } else if (tag == std::uint8_t(Tag::Report)) {
            project.reports.push_back(decodeReport(item));
        } else {
            r.fail(QStringLiteral("unknown item tag %1").arg(tag));
        }
    }
    if (!r.atEnd())
        r.fail(QStringLiteral("data after the end of the project"));
    checkReferences(project, fileName);
    return project;
}

Project loadProjectFile(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2")
                              .arg(QFileInfo(fileName).absoluteFilePath(), file.errorString())
                              .toStdString());
    return decodeProject(file.readAll(), fileName);
}

void saveProjectFile(const Project& project, const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(encodeProject(project)) < 0 || !file.flush())
        throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2")
                              .arg(QFileInfo(fileName).absoluteFilePath(), file.errorString())
                              .toStdString());
}

} // namespace report
