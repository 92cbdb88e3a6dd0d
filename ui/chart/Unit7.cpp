#include "ui/chart/Unit7.h"

#include "data/module/ModuleBindings.h"
#include "shell/TApplication.h"
#include "ui/chart/TBarSeries.h"

#include <QScrollBar>

#include <algorithm>

TForm7* Form7 = nullptr;

TForm7::TForm7() {
    setupUi(this);
    applyDesignedGeometry();
    placeScrolledChildren();

    Series1 = std::make_unique<TBarSeries>(DBChart1);
    Series1->XLabelsSource = DBChart1->property("seriesXLabelsSource").toString();
    Series1->YValuesSource = DBChart1->property("seriesYValuesSource").toString();
    const std::string dataSet = DBChart1->property("seriesDataSet").toString().toStdString();
    seriesBinding_ = ModuleBindings::bindDataSet(
        dataSet, [this](TDataSet* bound) { Series1->setDataSource(bound); });

    connect(BitBtn1, &QPushButton::clicked, this, guarded([this] { BitBtn1Click(); }));
}

TForm7::~TForm7() {
    ModuleBindings::cancel(seriesBinding_); // in case the module never came
    // The series leaves the chart before either goes.
    Series1.reset();
}

// The stored child positions are relative to the view scrolled by the stored
// position; in the scrollable area they lie that much further right, and the
// area reaches to the furthest right and bottom edge of a child.
void TForm7::placeScrolledChildren() {
    const int scroll = property("horzScrollPosition").toInt();
    int right = 0, bottom = 0;
    for (QWidget* child : {static_cast<QWidget*>(DBChart1), static_cast<QWidget*>(BitBtn1)}) {
        child->move(child->x() + scroll, child->y());
        right = std::max(right, child->geometry().right() + 1);
        bottom = std::max(bottom, child->geometry().bottom() + 1);
    }
    ScrollContents->resize(right, bottom);
    // The chart's rows above the scrollable area are never seen: its title goes below them.
    DBChart1->setHiddenTop(-DBChart1->y());
}

// The window opens scrolled to the stored position the first time; later
// showings keep wherever the operator left it.
void TForm7::showEvent(QShowEvent* event) {
    TForm::showEvent(event);
    if (!scrollPlaced_) {
        scrollPlaced_ = true;
        ScrollBox->horizontalScrollBar()->setValue(property("horzScrollPosition").toInt());
    }
}

void TForm7::BitBtn1Click() {
    Close();
}
