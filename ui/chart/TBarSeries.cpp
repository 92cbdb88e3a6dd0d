#include "ui/chart/TBarSeries.h"

#include "data/dataset/TDataSet.h"
#include "data/values/Variant.h"
#include "ui/chart/TDBChart.h"

#include <algorithm>

TBarSeries::TBarSeries(TDBChart* parentChart) {
    if (parentChart)
        parentChart->AddSeries(this);
}

TBarSeries::~TBarSeries() {
    if (chart_)
        chart_->RemoveSeries(this);
}

void TBarSeries::setParentChart(TDBChart* chart) {
    chart_ = chart;
}

void TBarSeries::setDataSource(TDataSet* dataSet) {
    if (dataSource_ == dataSet)
        return;
    dataSource_ = dataSet;
    if (chart_)
        chart_->seriesSourceChanged();
}

void TBarSeries::Clear() {
    points_.clear();
    pointsChanged();
}

void TBarSeries::AddXY(double x, double y, std::string label, bool isNull) {
    insertInOrder(TChartValue{x, y, std::move(label), isNull});
    pointsChanged();
}

// Ascending X order: the new point goes after every point not greater than
// it. A read numbers its points 0, 1, 2, ..., so they nearly always go last.
void TBarSeries::insertInOrder(TChartValue point) {
    if (points_.empty() || points_.back().x <= point.x) {
        points_.push_back(std::move(point));
        return;
    }
    const auto at = std::upper_bound(points_.begin(), points_.end(), point.x,
                                     [](double v, const TChartValue& p) { return v < p.x; });
    points_.insert(at, std::move(point));
}

void TBarSeries::pointsChanged() {
    if (chart_)
        chart_->seriesPointsChanged();
}

TBarSeries::RowSources TBarSeries::resolveSources(const TDataSet& dataSet) const {
    return {dataSet.FindField(XLabelsSource.toStdString()),
            dataSet.FieldByName(YValuesSource.toStdString())};
}

void TBarSeries::AddCurrentRow(const RowSources& sources) {
    // A null value keeps its point, marked null so that no bar is drawn; it reads as 0.
    const Variant value = sources.value->Value();
    const bool isNull = value.isNull();
    double y = 0.0;
    if (value.type() == VarType::Integer)
        y = static_cast<double>(value.intValue());
    else if (value.type() == VarType::Float)
        y = value.floatValue();
    else if (!isNull)
        y = sources.value->AsFloat(); // text and the rest convert as the field says
    const double x = Count();
    if (!points_.empty() && points_.back().x > x) {
        insertInOrder(TChartValue{
            x, y, sources.label ? sources.label->DisplayText() : std::string(), isNull});
        return;
    }
    // Built in place: a read adds one point per row, and this is its inner loop.
    points_.emplace_back(x, y, sources.label ? sources.label->DisplayText() : std::string(),
                         isNull);
}
