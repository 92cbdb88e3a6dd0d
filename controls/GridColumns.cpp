#include "controls/GridColumns.h"

#include "data/dataset/TDataSet.h"
#include "data/dataset/TField.h"

#include <QFontMetrics>
#include <QStringList>
#include <algorithm>

namespace {

// Qt's metrics report no overhang for the fonts in use; the formulas keep
// the term so that the relation between characters and pixels stays visible.
constexpr int kOverhang = 0;

int titleWidth(const QString& title, const QFontMetrics& metrics) {
    return metrics.horizontalAdvance(title) + 4;
}

QString fromStd(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

std::vector<ListedColumn> parseColumnList(const QString& text) {
    std::vector<ListedColumn> result;
    for (const QString& entry : text.split(QLatin1Char(';'))) {
        const QString item = entry.trimmed();
        if (item.isEmpty())
            continue;
        ListedColumn column;
        const int colon = item.lastIndexOf(QLatin1Char(':'));
        bool ok = false;
        const int width = colon > 0 ? item.mid(colon + 1).trimmed().toInt(&ok) : 0;
        if (ok && width > 0) {
            column.fieldName = item.left(colon).trimmed();
            column.width = width;
        } else {
            column.fieldName = item;
        }
        result.push_back(column);
    }
    return result;
}

QString formatColumnList(const std::vector<ListedColumn>& columns) {
    QStringList parts;
    for (const ListedColumn& c : columns)
        parts << (c.width > 0 ? c.fieldName + QLatin1Char(':') + QString::number(c.width)
                              : c.fieldName);
    return parts.join(QLatin1Char(';'));
}

int fieldColumnWidth(const TField& field, const QFontMetrics& metrics) {
    const int digit = metrics.horizontalAdvance(QLatin1Char('0'));
    const int byChars = field.DisplayWidth() * (digit - kOverhang) + kOverhang + 4;
    return std::max(byChars, titleWidth(fromStd(field.DisplayName()), metrics));
}

int displayWidthForPixels(int pixels, const QFontMetrics& metrics) {
    const int average = std::max(1, metrics.averageCharWidth());
    return std::max(1, (pixels + average / 2 - kOverhang - 3) / average);
}

void GridColumns::layout(const TDataSet* dataSet, const QFontMetrics& metrics) {
    columns_.clear();
    if (isDefaultList()) {
        if (!dataSet || dataSet->FieldCount() == 0) {
            columns_.push_back({QString(), nullptr, kDefaultWidth});
            return;
        }
        for (int i = 0; i < dataSet->FieldCount(); ++i) {
            TField* field = dataSet->Fields(i);
            columns_.push_back(
                {fromStd(field->DisplayName()), field, fieldColumnWidth(*field, metrics)});
        }
        return;
    }
    for (const ListedColumn& listed : listed_) {
        GridColumn column;
        column.field = dataSet ? dataSet->FindField(listed.fieldName.toStdString()) : nullptr;
        column.title = column.field ? fromStd(column.field->DisplayName()) : listed.fieldName;
        if (listed.width > 0)
            column.width = listed.width;
        else if (column.field)
            column.width = fieldColumnWidth(*column.field, metrics);
        columns_.push_back(column);
    }
}

bool GridColumns::resizeColumn(int index, int pixels, const QFontMetrics& metrics) {
    if (index < 0 || index >= count())
        return false;
    pixels = std::max(1, pixels);
    if (!isDefaultList()) {
        listed_.at(static_cast<size_t>(index)).width = pixels;
        return true;
    }
    if (TField* field = at(index).field)
        field->setDisplayWidth(displayWidthForPixels(pixels, metrics));
    return false;
}

bool GridColumns::moveColumn(int from, int to) {
    if (from < 0 || from >= count() || to < 0 || to >= count() || from == to)
        return false;
    if (!isDefaultList()) {
        ListedColumn moved = listed_.at(static_cast<size_t>(from));
        listed_.erase(listed_.begin() + from);
        listed_.insert(listed_.begin() + to, moved);
        return true;
    }
    if (TField* field = at(from).field)
        field->setIndex(to);
    return false;
}
