// Painting of the data grid: only the rows in view, read from the data set's
// held rows as they are painted.
#include "controls/GridEditor.h"
#include "controls/GridIndicator.h"
#include "controls/TDBGrid.h"
#include "data/dataset/TDataSet.h"
#include "data/dataset/TDataSource.h"
#include "data/dataset/TField.h"

#include <QPaintEvent>
#include <QPainter>

namespace {

constexpr int kTextInset = 2;

void paintRaisedCell(QPainter& painter, const QRect& rect, const QPalette& palette) {
    painter.fillRect(rect, palette.color(QPalette::Button));
    painter.setPen(palette.color(QPalette::Light));
    painter.drawLine(rect.topLeft(), rect.topRight());
    painter.drawLine(rect.topLeft(), rect.bottomLeft());
}

} // namespace

void TDBGrid::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.setClipRect(event->rect());
    painter.fillRect(viewport()->rect(), palette().color(QPalette::Base));
    painter.setFont(font());
    paintTitleRow(painter);
    paintDataRows(painter);
    paintDragFeedback(painter);
}

void TDBGrid::paintTitleRow(QPainter& painter) {
    const QPalette& pal = palette();
    const QColor line = pal.color(QPalette::Dark);
    const int height = rowPitch_ - 1;
    QRect indicator(0, 0, indicatorPitch() - 1, height);
    paintRaisedCell(painter, indicator, pal);
    painter.setPen(line);
    painter.drawLine(indicator.right() + 1, 0, indicator.right() + 1, height);
    painter.drawLine(0, height, indicator.right() + 1, height);
    for (int c = leftCol_; c < columnCount(); ++c) {
        const QRect rect = cellRect(-1, c);
        if (rect.isEmpty())
            break;
        paintRaisedCell(painter, rect, pal);
        painter.setPen(pal.color(QPalette::ButtonText));
        painter.drawText(rect.adjusted(kTextInset, 0, -kTextInset, 0),
                         Qt::AlignLeft | Qt::AlignVCenter, columnTitle(c));
        painter.setPen(line);
        painter.drawLine(rect.right() + 1, 0, rect.right() + 1, height);
        painter.drawLine(rect.left(), height, rect.right() + 1, height);
    }
}

void TDBGrid::paintDataRows(QPainter& painter) {
    const QPalette& pal = palette();
    const int rows = rowCount();
    // Closed or empty, the grid still shows one blank row.
    const int shown = std::max(1, rows);
    const int current = activeDataSet() ? std::max(0, currentRow()) : -1;
    const int height = viewport()->height();
    for (int row = top_; row < shown; ++row) {
        const int y = (row - top_ + 1) * rowPitch_;
        if (y >= height)
            break;
        paintIndicatorCell(painter, QRect(0, y, indicatorPitch() - 1, rowPitch_ - 1),
                           row == current);
        for (int c = leftCol_; c < columnCount(); ++c) {
            const QRect rect = cellRect(row, c);
            if (rect.isEmpty())
                break;
            paintCell(painter, rect, row < rows ? row : -1, c, row == current && c == col_);
            painter.setPen(pal.color(QPalette::Midlight).darker(115));
            painter.drawLine(rect.right() + 1, rect.top(), rect.right() + 1, rect.bottom() + 1);
            painter.drawLine(rect.left(), rect.bottom() + 1, rect.right() + 1, rect.bottom() + 1);
        }
    }
}

void TDBGrid::paintCell(QPainter& painter, const QRect& rect, int row, int column, bool current) {
    const QPalette& pal = palette();
    // The current cell shows in highlight colours only while the grid has focus.
    const bool focused = current && (hasFocus() || (editor_ && editor_->hasFocus()));
    painter.fillRect(rect, pal.color(focused ? QPalette::Highlight : QPalette::Base));
    if (row < 0)
        return;
    const TField* field = columnField(column);
    if (!field)
        return;
    const QString text = cellText(row, column);
    if (text.isEmpty())
        return;
    const Qt::Alignment horizontal =
        field->Alignment() == TAlignment::taRightJustify ? Qt::AlignRight : Qt::AlignLeft;
    painter.setPen(pal.color(focused ? QPalette::HighlightedText : QPalette::Text));
    painter.drawText(rect.adjusted(kTextInset, 0, -kTextInset, 0), horizontal | Qt::AlignVCenter,
                     text);
}

void TDBGrid::paintIndicatorCell(QPainter& painter, const QRect& rect, bool current) {
    const QPalette& pal = palette();
    paintRaisedCell(painter, rect, pal);
    painter.setPen(pal.color(QPalette::Dark));
    painter.drawLine(rect.right() + 1, rect.top(), rect.right() + 1, rect.bottom() + 1);
    painter.drawLine(rect.left(), rect.bottom() + 1, rect.right() + 1, rect.bottom() + 1);
    if (!current)
        return;
    GridIndicator which = GridIndicator::Browse;
    if (const TDataSource* source = DataSource()) {
        if (source->State() == TDataSetState::dsEdit)
            which = GridIndicator::Edit;
        else if (source->State() == TDataSetState::dsInsert)
            which = GridIndicator::Insert;
    }
    const QPoint origin(rect.left() + (rect.width() - kIndicatorImageWidth) / 2,
                        rect.top() + (rect.height() - kIndicatorImageHeight) / 2);
    paintIndicator(painter, origin, which, pal.color(QPalette::ButtonText));
}

void TDBGrid::paintDragFeedback(QPainter& painter) {
    if (drag_ == Drag::Move && dragTarget_ >= 0) {
        const int x = dragTarget_ > dragColumn_ ? columnLeft(dragTarget_ + 1) - 1
                                                : columnLeft(dragTarget_) - 1;
        painter.fillRect(x - 1, 0, 3, viewport()->height(), palette().color(QPalette::Highlight));
    } else if (drag_ == Drag::Resize) {
        const int x = columnLeft(dragColumn_) + dragWidth_;
        painter.fillRect(x, 0, 1, viewport()->height(), palette().color(QPalette::Text));
    }
}
