#include "controls/TDBGrid.h"

#include "controls/GridAccessible.h"
#include "controls/GridEditor.h"
#include "controls/HeldField.h"
#include "data/dataset/TDataSet.h"
#include "data/dataset/TDataSource.h"
#include "data/dataset/TField.h"
#include "shell/TApplication.h"

#include <QAccessible>
#include <QFontMetrics>
#include <QScrollBar>
#include <algorithm>

namespace {

// Width of the indicator column, grid line excluded.
constexpr int kIndicatorWidth = 11;

} // namespace

TDBGrid::TDBGrid(QWidget* parent) : QAbstractScrollArea(parent) {
    installGridAccessibility();
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setMouseTracking(true);
    viewport()->setBackgroundRole(QPalette::Base);
    editor_ = new GridEditor(*this, viewport());
    editor_->hide();
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this,
            [this](int action) { runAction([&] { verticalAction(action); }); });
    connect(verticalScrollBar(), &QScrollBar::sliderReleased, this,
            [this] { runAction([&] { verticalReleased(); }); });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int value) { horizontalMoved(value); });
    updateMetrics();
    layoutColumns();
}

TDBGrid::~TDBGrid() {
    // Detach first so that no notice reaches a half-destroyed grid.
    link_.setDataSource(nullptr);
}

void TDBGrid::showError(const std::exception& error) {
    viewport()->update();
    if (Application)
        Application->HandleException(error);
}

// ---- binding -------------------------------------------------------------

void TDBGrid::setDataSourceName(const QString& name) {
    binding_.setName(name);
}

void TDBGrid::setDataSource(TDataSource* source) {
    binding_.setDataSource(source);
}

QString TDBGrid::columnList() const {
    return formatColumnList(columns_.listed());
}

void TDBGrid::setColumnList(const QString& text) {
    columns_.setListed(parseColumnList(text));
    layoutColumns();
}

TDataSet* TDBGrid::activeDataSet() const {
    // The data set itself is asked too: a closing data set tells its links
    // that editing ended before it tells them that it closed, and by then
    // its fields are gone.
    TDataSet* ds = link_.Active() ? link_.DataSet() : nullptr;
    return ds && ds->Active() ? ds : nullptr;
}

// ---- what the grid shows -------------------------------------------------

QString TDBGrid::columnTitle(int column) const {
    return column >= 0 && column < columnCount() ? columns_.at(column).title : QString();
}

int TDBGrid::columnWidth(int column) const {
    return column >= 0 && column < columnCount() ? columns_.at(column).width : 0;
}

TField* TDBGrid::columnField(int column) const {
    if (column < 0 || column >= columnCount())
        return nullptr;
    TField* field = columns_.at(column).field;
    return fieldStillHeld(activeDataSet(), field) ? field : nullptr;
}

int TDBGrid::rowCount() const {
    const TDataSet* ds = activeDataSet();
    return ds ? ds->rowCount() : 0;
}

int TDBGrid::currentRow() const {
    const TDataSet* ds = activeDataSet();
    return ds ? ds->currentRow() : -1;
}

QString TDBGrid::cellText(int row, int column) const {
    const TDataSet* ds = activeDataSet();
    const TField* field = columnField(column);
    if (!ds || !field || row < 0 || row >= ds->rowCount())
        return QString();
    return QString::fromStdString(ds->rowDisplayText(row, field->Index()));
}

void TDBGrid::setCurrentColumn(int column) {
    const int clamped = std::clamp(column, 0, std::max(0, columnCount() - 1));
    if (clamped == col_)
        return;
    col_ = clamped;
    ensureColumnVisible();
    viewport()->update();
    notifyAccessibility();
}

int TDBGrid::visibleRowCount() const {
    return std::max(1, (viewport()->height() - rowPitch_) / rowPitch_);
}

int TDBGrid::indicatorPitch() const {
    return kIndicatorWidth + 1;
}

int TDBGrid::columnLeft(int column) const {
    int x = indicatorPitch();
    for (int c = leftCol_; c < column && c < columnCount(); ++c)
        x += columns_.at(c).width + 1;
    return x;
}

QRect TDBGrid::cellRect(int row, int column) const {
    if (column < leftCol_ || column >= columnCount() || row < -1)
        return {};
    const int y = row < 0 ? 0 : (row - top_ + 1) * rowPitch_;
    if (row >= 0 && (row < top_ || y >= viewport()->height()))
        return {};
    const int x = columnLeft(column);
    if (x >= viewport()->width())
        return {};
    return QRect(x, y, columns_.at(column).width, rowPitch_ - 1);
}

bool TDBGrid::cellAt(QPoint pos, int& row, int& column) const {
    if (pos.x() < 0 || pos.y() < 0)
        return false;
    row = pos.y() < rowPitch_ ? -1 : top_ + pos.y() / rowPitch_ - 1;
    if (pos.x() < indicatorPitch()) {
        column = -1;
        return true;
    }
    int x = indicatorPitch();
    for (int c = leftCol_; c < columnCount(); ++c) {
        x += columns_.at(c).width + 1;
        if (pos.x() < x) {
            column = c;
            return true;
        }
    }
    return false;
}

// ---- layout and scrolling ------------------------------------------------

void TDBGrid::updateMetrics() {
    // A row is as high as "Wg" plus three pixels of margin and one of grid line.
    rowPitch_ = QFontMetrics(font()).height() + 4;
}

void TDBGrid::layoutColumns() {
    columns_.layout(activeDataSet(), QFontMetrics(font()));
    col_ = std::clamp(col_, 0, std::max(0, columnCount() - 1));
    leftCol_ = std::clamp(leftCol_, 0, std::max(0, columnCount() - 1));
    followCurrentRow();
    ensureColumnVisible();
    if (editorOpen_)
        placeEditor();
    viewport()->update();
    notifyAccessibility();
}

void TDBGrid::followCurrentRow() {
    const int rows = rowCount();
    const int visible = visibleRowCount();
    const int current = currentRow();
    if (current >= 0) {
        if (current < top_)
            top_ = current;
        else if (current >= top_ + visible)
            top_ = current - visible + 1;
    }
    // Keep the view filled: no blank rows below while earlier rows exist.
    top_ = std::clamp(top_, 0, std::max(0, rows - visible));
    if (editorOpen_ && std::max(0, current) != editorRow_)
        closeEditor();
    updateScrollBars();
}

void TDBGrid::ensureColumnVisible() {
    if (col_ < leftCol_)
        leftCol_ = col_;
    while (leftCol_ < col_ && columnLeft(col_ + 1) > viewport()->width())
        ++leftCol_;
    updateScrollBars();
}

void TDBGrid::updateScrollBars() {
    QScrollBar* vertical = verticalScrollBar();
    const QSignalBlocker blockVertical(vertical);
    const TDataSet* ds = activeDataSet();
    if (!ds) {
        vertical->setRange(0, 0);
    } else {
        // The bar follows record numbers, not pixels: range 1..count+page-1,
        // page = visible rows, position = the current record's number.
        const int page = visibleRowCount();
        const int count = std::max(1, ds->rowCount());
        vertical->setPageStep(page);
        vertical->setSingleStep(1);
        vertical->setRange(1, count + page - 1);
        vertical->setValue(std::max(1, ds->currentRow() + 1));
    }
    QScrollBar* horizontal = horizontalScrollBar();
    const QSignalBlocker blockHorizontal(horizontal);
    int total = indicatorPitch();
    for (int c = 0; c < columnCount(); ++c)
        total += columns_.at(c).width + 1;
    horizontal->setRange(0, total > viewport()->width() ? std::max(0, columnCount() - 1) : 0);
    horizontal->setPageStep(1);
    horizontal->setValue(leftCol_);
}

void TDBGrid::verticalAction(int action) {
    TDataSet* ds = activeDataSet();
    if (!ds)
        return;
    const int current = ds->currentRow();
    const int visible = visibleRowCount();
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        moveBy(top_ - 1 - current);
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        moveBy(top_ + visible - current);
        break;
    case QAbstractSlider::SliderPageStepSub:
        moveBy(-visible);
        break;
    case QAbstractSlider::SliderPageStepAdd:
        moveBy(visible);
        break;
    case QAbstractSlider::SliderToMinimum:
        firstRecord();
        break;
    case QAbstractSlider::SliderToMaximum:
        lastRecord();
        break;
    default:
        return; // dragging the thumb moves nothing until it is released
    }
    verticalScrollBar()->setSliderPosition(std::max(1, ds->currentRow() + 1));
}

void TDBGrid::verticalReleased() {
    TDataSet* ds = activeDataSet();
    if (!ds)
        return;
    const int position = verticalScrollBar()->sliderPosition();
    if (position <= 1)
        firstRecord();
    else if (position >= ds->RecordCount())
        lastRecord();
    else
        moveBy(position - 1 - ds->currentRow());
    updateScrollBars();
}

void TDBGrid::horizontalMoved(int value) {
    if (value == leftCol_)
        return;
    leftCol_ = std::clamp(value, 0, std::max(0, columnCount() - 1));
    if (editorOpen_)
        placeEditor();
    viewport()->update();
}

void TDBGrid::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    followCurrentRow();
    ensureColumnVisible();
    if (editorOpen_)
        placeEditor();
}

void TDBGrid::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        updateMetrics();
        layoutColumns();
    }
    QAbstractScrollArea::changeEvent(event);
}

void TDBGrid::notifyAccessibility() {
    if (!QAccessible::isActive())
        return;
    QAccessibleTableModelChangeEvent reset(this, QAccessibleTableModelChangeEvent::ModelReset);
    QAccessible::updateAccessibility(&reset);
}

// ---- data link notices ---------------------------------------------------

void TDBGrid::linkActiveChanged() {
    modified_ = false;
    if (!link_.Active()) {
        closeEditor();
        top_ = 0;
    }
    layoutColumns();
}

void TDBGrid::linkLayoutChanged() {
    layoutColumns();
}

void TDBGrid::linkDataSetChanged() {
    // Lay the columns out afresh: a data set reopened while its controls were
    // disabled reports only a data change, yet its fields are new.
    columns_.layout(activeDataSet(), QFontMetrics(font()));
    col_ = std::clamp(col_, 0, std::max(0, columnCount() - 1));
    followCurrentRow();
    if (editorOpen_ && !modified_)
        loadEditorText();
    viewport()->update();
    notifyAccessibility();
}

void TDBGrid::linkDataSetScrolled(int distance) {
    (void)distance;
    followCurrentRow();
    viewport()->update();
    if (QAccessible::isActive() && hasFocus()) {
        if (QAccessibleInterface* cell = gridCellInterface(this, currentRow(), col_)) {
            QAccessibleEvent focus(cell, QAccessible::Focus);
            QAccessible::updateAccessibility(&focus);
        }
    }
}

void TDBGrid::linkRecordChanged(TField* field) {
    if (editorOpen_ && !modified_ && (!field || field == columnField(col_)))
        loadEditorText();
    followCurrentRow();
    viewport()->update();
}

void TDBGrid::linkEditingChanged() {
    if (!link_.Editing()) {
        // The row was posted or cancelled elsewhere: the editor's text is stale.
        modified_ = false;
        if (editorOpen_)
            loadEditorText();
    }
    followCurrentRow();
    viewport()->update();
}

void TDBGrid::linkUpdateData() {
    writeEditorText();
}
