#pragma once
// A bar series: the points a chart draws as bars, and where they come from.
#include <QColor>
#include <QString>

#include <string>
#include <vector>

class TDataSet;
class TField;
class TDBChart;

/// One point of a series. A null point keeps its place but draws no bar.
struct TChartValue {
    double x = 0;
    double y = 0;
    std::string label; ///< UTF-8, as the data set gives it
    bool isNull = false;
};

/// Bars fed from a data set: labels from XLabelsSource, heights from
/// YValuesSource, X values numbered 0, 1, 2, ... in row order.
class TBarSeries {
public:
    explicit TBarSeries(TDBChart* parentChart = nullptr);
    ~TBarSeries();
    TBarSeries(const TBarSeries&) = delete;
    TBarSeries& operator=(const TBarSeries&) = delete;

    /// The data set the series reads; the chart follows its open/closed state.
    void setDataSource(TDataSet* dataSet);
    TDataSet* DataSource() const { return dataSource_; }

    QString XLabelsSource = "id_room";
    QString YValuesSource = "kol_mest";
    QColor SeriesColor = Qt::red;
    bool MarksVisible = true;
    int MarksArrowLength = 20;
    int BarWidthPercent = 70;

    /// Removes every point.
    void Clear();
    /// Adds a point in ascending X order: after every point whose X is not
    /// greater, so points with running X values keep their adding order.
    void AddXY(double x, double y, std::string label, bool isNull = false);
    /// The fields a read takes labels and values from, looked up once per read.
    struct RowSources {
        const TField* label = nullptr; ///< nullptr: no such column, empty labels
        const TField* value = nullptr;
    };
    /// Finds the label and value fields by name, without regard to case.
    /// Fails with "Field '%s' not found" when the value field is missing.
    RowSources resolveSources(const TDataSet& dataSet) const;
    /// Adds one point for the data set's current row, with X = Count(). Only
    /// a read of the chart calls it; the chart hears of the points at its end.
    void AddCurrentRow(const RowSources& sources);

    int Count() const { return static_cast<int>(points_.size()); }
    const TChartValue& point(int index) const { return points_[static_cast<size_t>(index)]; }
    const std::vector<TChartValue>& points() const { return points_; }

    TDBChart* ParentChart() const { return chart_; }
    void setParentChart(TDBChart* chart);

private:
    void insertInOrder(TChartValue point);
    void pointsChanged();

    TDBChart* chart_ = nullptr;
    TDataSet* dataSource_ = nullptr;
    std::vector<TChartValue> points_;
};
