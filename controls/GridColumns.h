#pragma once
// The columns of a data grid: a fixed list declared with the window, or a
// default list made from the data set's fields, with titles and widths.
#include <QString>
#include <vector>

class QFontMetrics;
class TDataSet;
class TField;

/// One column of a declared column list: a field name and an optional width.
struct ListedColumn {
    QString fieldName;
    int width = -1; ///< pixels; -1 when not given
};

/// Reads "Id_zach;Fname;Fakultet:96": names separated by ';', each optionally
/// followed by ':' and a width in pixels. Blank entries are skipped.
std::vector<ListedColumn> parseColumnList(const QString& text);
/// The inverse of parseColumnList.
QString formatColumnList(const std::vector<ListedColumn>& columns);

/// Width in pixels that a field's display width gives its column.
int fieldColumnWidth(const TField& field, const QFontMetrics& metrics);
/// Display width in characters that a column dragged to a pixel width gives its field.
int displayWidthForPixels(int pixels, const QFontMetrics& metrics);

/// A laid-out column.
struct GridColumn {
    QString title;
    TField* field = nullptr; ///< nullptr: the column stays empty
    int width = 64;          ///< pixels, without the grid line
};

/// The grid's column list and its layout against a data set.
class GridColumns {
public:
    /// Grid default width of a column that has no field.
    static constexpr int kDefaultWidth = 64;

    /// A non-empty list makes the columns fixed; an empty one makes them default.
    void setListed(std::vector<ListedColumn> listed) { listed_ = std::move(listed); }
    const std::vector<ListedColumn>& listed() const { return listed_; }
    bool isDefaultList() const { return listed_.empty(); }

    /// Lays the columns out against an open data set, or the closed look when
    /// dataSet is nullptr.
    void layout(const TDataSet* dataSet, const QFontMetrics& metrics);

    int count() const { return static_cast<int>(columns_.size()); }
    const GridColumn& at(int index) const { return columns_.at(static_cast<size_t>(index)); }

    /// The operator dragged a column's border. A fixed list keeps the width in
    /// the grid's column; a default list gives it to the field (a layout change
    /// that every grid on the data set hears). Returns true when the grid must
    /// lay itself out again (the fixed-list case).
    bool resizeColumn(int index, int pixels, const QFontMetrics& metrics);
    /// The operator dragged a column's title to another place; same ownership
    /// rule as resizeColumn.
    bool moveColumn(int from, int to);

private:
    std::vector<ListedColumn> listed_;
    std::vector<GridColumn> columns_;
};
