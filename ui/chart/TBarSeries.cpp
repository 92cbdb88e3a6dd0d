#include "ui/chart/TBarSeries.h"

#include "data/TDataSet.h"
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

void TBarSeries::AddXY(double x, double y, const QString& label, bool isNull) {
    // Ascending X order: the new point goes after every point not greater than it.
    const auto at = std::upper_bound(points_.begin(), points_.end(), x,
                                     [](double v, const TChartValue& p) { return v < p.x; });
    points_.insert(at, TChartValue{x, y, label, isNull});
}

TBarSeries::RowSources TBarSeries::resolveSources(const TDataSet& dataSet) const {
    return {dataSet.FindField(XLabelsSource.toStdString()),
            dataSet.FieldByName(YValuesSource.toStdString())};
}

void TBarSeries::AddCurrentRow(const RowSources& sources) {
    const QString label =
        sources.label ? QString::fromStdString(sources.label->DisplayText()) : QString();
    // A null value keeps its point, marked null so that no bar is drawn; it reads as 0.
    const bool isNull = sources.value->IsNull();
    AddXY(Count(), isNull ? 0.0 : sources.value->AsFloat(), label, isNull);
}
