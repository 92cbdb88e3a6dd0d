#include "tools/rpjmake/LayoutJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <stdexcept>

namespace {

using namespace report;

[[noreturn]] void fail(const QString& what) {
    throw std::runtime_error(what.toStdString());
}

template <typename Enum>
Enum lookup(const QString& name, std::initializer_list<std::pair<const char*, Enum>> table,
            const char* what) {
    for (const auto& [text, value] : table)
        if (name == QLatin1String(text))
            return value;
    fail(QStringLiteral("unknown %1 \"%2\"").arg(QLatin1String(what), name));
}

double number(const QJsonObject& o, const char* key, double fallback) {
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isUndefined())
        return fallback;
    if (!v.isDouble())
        fail(QStringLiteral("\"%1\" must be a number").arg(QLatin1String(key)));
    return v.toDouble();
}

FontSpec parseFont(const QJsonObject& o, const FontSpec& base) {
    FontSpec f = base;
    f.family = o.value(QLatin1String("family")).toString(base.family);
    f.pointSize = number(o, "size", base.pointSize);
    f.bold = o.value(QLatin1String("bold")).toBool(base.bold);
    f.italic = o.value(QLatin1String("italic")).toBool(base.italic);
    return f;
}

LayoutItem parseItem(const QJsonObject& o, const FontSpec& bandFont) {
    LayoutItem item;
    item.kind = lookup<ItemKind>(o.value(QLatin1String("kind")).toString(),
                                 {{"Text", ItemKind::Text},
                                  {"DataField", ItemKind::DataField},
                                  {"Line", ItemKind::Line},
                                  {"Box", ItemKind::Box},
                                  {"PageNumber", ItemKind::PageNumber},
                                  {"PrintDate", ItemKind::PrintDate},
                                  {"Continued", ItemKind::Continued}},
                                 "item kind");
    item.x = number(o, "x", 0);
    item.y = number(o, "y", 0);
    item.width = number(o, "w", 0);
    item.height = number(o, "h", 0);
    item.text =
        o.value(QLatin1String(item.kind == ItemKind::DataField ? "field" : "text")).toString();
    item.font = parseFont(o.value(QLatin1String("font")).toObject(), bandFont);
    item.align = lookup<Align>(
        o.value(QLatin1String("align")).toString(QStringLiteral("Left")),
        {{"Left", Align::Left}, {"Center", Align::Center}, {"Right", Align::Right}}, "alignment");
    item.penWidth = number(o, "pen", 0.2);
    item.format = o.value(QLatin1String("format")).toString();
    return item;
}

Band parseBand(const QJsonObject& o, const FontSpec& reportFont) {
    Band band;
    band.kind = lookup<BandKind>(o.value(QLatin1String("kind")).toString(),
                                 {{"PageHeader", BandKind::PageHeader},
                                  {"PageFooter", BandKind::PageFooter},
                                  {"ColumnHeader", BandKind::ColumnHeader},
                                  {"Data", BandKind::Data},
                                  {"DetailHeader", BandKind::DetailHeader},
                                  {"Detail", BandKind::Detail},
                                  {"Summary", BandKind::Summary}},
                                 "band kind");
    band.height = number(o, "height", 0);
    band.dataView = o.value(QLatin1String("dataView")).toString();
    band.masterField = o.value(QLatin1String("masterField")).toString();
    band.detailField = o.value(QLatin1String("detailField")).toString();
    const FontSpec font = parseFont(o.value(QLatin1String("font")).toObject(), reportFont);
    for (const QJsonValue& v : o.value(QLatin1String("items")).toArray())
        band.items.push_back(parseItem(v.toObject(), font));
    return band;
}

Report parseReport(const QJsonObject& o) {
    Report report;
    report.name = o.value(QLatin1String("name")).toString();
    const QJsonObject page = o.value(QLatin1String("page")).toObject();
    report.page.width = number(page, "width", report.page.width);
    report.page.height = number(page, "height", report.page.height);
    report.page.left = number(page, "left", report.page.left);
    report.page.top = number(page, "top", report.page.top);
    report.page.right = number(page, "right", report.page.right);
    report.page.bottom = number(page, "bottom", report.page.bottom);
    const FontSpec font = parseFont(o.value(QLatin1String("font")).toObject(), FontSpec());
    for (const QJsonValue& v : o.value(QLatin1String("bands")).toArray())
        report.bands.push_back(parseBand(v.toObject(), font));
    return report;
}

} // namespace

report::Project projectFromJson(const QByteArray& json) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (doc.isNull())
        fail(QStringLiteral("not a layout description: %1 at offset %2")
                 .arg(error.errorString())
                 .arg(error.offset));
    const QJsonObject root = doc.object();
    Project project;
    project.savedActiveReport = root.value(QLatin1String("activeReport")).toString();
    const QJsonObject settings = root.value(QLatin1String("settings")).toObject();
    project.settings.title = settings.value(QLatin1String("title")).toString();
    project.settings.author = settings.value(QLatin1String("author")).toString();
    for (const QJsonValue& v : root.value(QLatin1String("dataViews")).toArray()) {
        const QJsonObject o = v.toObject();
        project.dataViews.push_back({o.value(QLatin1String("name")).toString(),
                                     o.value(QLatin1String("connection")).toString()});
    }
    for (const QJsonValue& v : root.value(QLatin1String("reports")).toArray())
        project.reports.push_back(parseReport(v.toObject()));
    return project;
}
