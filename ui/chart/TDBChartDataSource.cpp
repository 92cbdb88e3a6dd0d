#include "ui/chart/TDBChartDataSource.h"

#include "data/dataset/TDataSet.h"
#include "ui/chart/TDBChart.h"

TDBChartDataSource::TDBChartDataSource(TDBChart& chart, TDataSet& dataSet)
    : chart_(chart), watched_(&dataSet), source_("TDBChartDataSource"), lastState_(dataSet.State()),
      wasOpen_(dataSet.Active()) {
    source_.setDataSet(&dataSet);
    setDataSource(&source_);
}

TDBChartDataSource::~TDBChartDataSource() {
    setDataSource(nullptr);
}

// The data source passes on a state only when it changes; the link may hear
// of one change twice (active and state), so only a real change counts.
void TDBChartDataSource::stateMaybeChanged() {
    const TDataSetState state = source_.State();
    if (state == lastState_)
        return;
    lastState_ = state;
    if (state == TDataSetState::dsInactive) {
        wasOpen_ = false;
        chart_.clearSeriesOf(watched_);
    } else if (state == TDataSetState::dsBrowse && !wasOpen_ && source_.DataSet()) {
        chart_.RefreshDataSet(*source_.DataSet());
        wasOpen_ = true;
    }
}

// A row is being saved: let the coming return to browsing read all rows again.
void TDBChartDataSource::updateData() {
    const TDataSetState state = source_.State();
    if (state == TDataSetState::dsEdit || state == TDataSetState::dsInsert)
        wasOpen_ = false;
}
