#pragma once
// The chart's private link to one data set it reads from.
#include "data/dataset/TDataLink.h"
#include "data/dataset/TDataSetState.h"
#include "data/dataset/TDataSource.h"

class TDataSet;
class TDBChart;

/// Watches one data set for the chart: reads all rows when it becomes
/// browsing after being opened (or after a posted row), empties the series
/// when it closes, and ignores scrolling, refresh, delete and cancel.
class TDBChartDataSource : private TDataLink {
public:
    TDBChartDataSource(TDBChart& chart, TDataSet& dataSet);
    ~TDBChartDataSource() override;

    /// The data set watched; compared, never used once the data set is gone.
    const TDataSet* dataSet() const { return watched_; }
    /// The data set was seen browsing and its rows have been read since.
    bool wasOpen() const { return wasOpen_; }

private:
    void activeChanged() override { stateMaybeChanged(); }
    void stateChanged() override { stateMaybeChanged(); }
    void updateData() override;
    void stateMaybeChanged();

    TDBChart& chart_;
    const TDataSet* watched_;
    TDataSource source_;
    TDataSetState lastState_;
    bool wasOpen_;
};
