#pragma once
// The in-memory form of a report project: data views naming connections, and
// reports made of pages and bands. Plain values, so a run can take a private
// working copy by copying.
#include <QString>
#include <cstdint>
#include <vector>

namespace report {

/// A font by family, size in points and style.
struct FontSpec {
    QString family = QStringLiteral("DejaVu Sans");
    double pointSize = 9;
    bool bold = false;
    bool italic = false;
    bool operator==(const FontSpec&) const = default;
};

enum class Align : std::uint8_t { Left = 0, Center = 1, Right = 2 };

/// What a layout item draws.
enum class ItemKind : std::uint8_t {
    Text = 1,       ///< fixed text
    DataField = 2,  ///< the display text of a field of the band's data view
    Line = 3,       ///< a line from (x, y) to (x + width, y + height)
    Box = 4,        ///< a rectangle outline
    PageNumber = 5, ///< text with %p (this page) and %P (page count)
    PrintDate = 6,  ///< the date of the run in `text` as a date format, or in the
                    ///< workstation's short date format (as the grids) when empty
    Continued = 7,  ///< fixed text shown only where a data row is repeated at the
                    ///< top of a page because its details go on there
};

/// One item of a band; geometry in millimetres relative to the band.
struct LayoutItem {
    ItemKind kind = ItemKind::Text;
    double x = 0, y = 0, width = 0, height = 0;
    QString text; ///< text, field name, page-number template or date format
    /// DataField: empty for the field's display text; "0.00" and the like for
    /// a number with that many decimals and the locale's decimal separator.
    QString format;
    FontSpec font;
    Align align = Align::Left;
    double penWidth = 0.2; ///< lines and boxes, millimetres
};

enum class BandKind : std::uint8_t {
    PageHeader = 1,   ///< top of every page
    PageFooter = 2,   ///< bottom of every page
    ColumnHeader = 3, ///< below the page header, on every page
    Data = 4,         ///< once per row of its data view
    DetailHeader = 5, ///< before the detail rows of a data row, when there are any
    Detail = 6,       ///< once per row of its data view that matches the data row
    Summary = 7,      ///< once, after the last data row
};

/// A horizontal strip of the page filled from one data row (or none).
struct Band {
    BandKind kind = BandKind::Data;
    double height = 0;
    QString dataView;    ///< Data and Detail bands: the data view that feeds them
    QString masterField; ///< Detail: field of the data row ...
    QString detailField; ///< ... that must equal this field of the detail row
    std::vector<LayoutItem> items;
};

/// Paper size and margins in millimetres.
struct PageSetup {
    double width = 210, height = 297;
    double left = 15, top = 12, right = 15, bottom = 12;
};

struct Report {
    QString name;
    PageSetup page;
    std::vector<Band> bands;
};

/// Binds a name used by bands to a report data connection, by its name.
struct DataView {
    QString name;
    QString connection;
};

struct ProjectSettings {
    QString title;
    QString author;
};

struct Project {
    QString savedActiveReport;
    ProjectSettings settings;
    std::vector<DataView> dataViews;
    std::vector<Report> reports;

    /// The report named as saved (exact comparison), else the first one,
    /// else none.
    const Report* activeReport() const;
    /// Data view by name, without regard to case.
    const DataView* findDataView(const QString& name) const;
};

} // namespace report
