#include "ui/chart/TDBChart.h"

#include "data/dataset/TDataSet.h"
#include "data/values/Exceptions.h"
#include "ui/chart/ChartAccessible.h"
#include "ui/chart/TBarSeries.h"
#include "ui/chart/TDBChartDataSource.h"

#include <QGuiApplication>
#include <QPainter>

#include <algorithm>

namespace {

/// Shows the hourglass for its lifetime when asked to and when there is a screen.
class GlassCursor {
public:
    explicit GlassCursor(bool show)
        : on_(show && qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (on_)
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~GlassCursor() {
        if (on_)
            QGuiApplication::restoreOverrideCursor();
    }
    GlassCursor(const GlassCursor&) = delete;
    GlassCursor& operator=(const GlassCursor&) = delete;

private:
    bool on_;
};

/// Clears a flag when it goes out of scope, also when an error passes.
class BusyScope {
public:
    explicit BusyScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~BusyScope() { flag_ = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& flag_;
};

} // namespace

TDBChart::TDBChart(QWidget* parent) : QWidget(parent) {
    installChartAccessibility();
    look_.title = QStringList{"TDBChart"};
}

TDBChart::~TDBChart() {
    sources_.clear();
    for (TBarSeries* s : series_)
        s->setParentChart(nullptr);
}

void TDBChart::setTitleText(const QStringList& lines) {
    look_.title = lines;
    update();
    notifyChartTitleChanged(this);
}

void TDBChart::setBackWallColor(const QColor& colour) {
    look_.backWallColor = colour;
    update();
}

void TDBChart::setView3D(bool on) {
    look_.view3D = on;
    update();
}

void TDBChart::setChart3DPercent(int percent) {
    look_.depthPercent = std::clamp(percent, 1, 100);
    update();
}

void TDBChart::setHiddenTop(int rows) {
    look_.hiddenTop = std::max(0, rows);
    update();
}

void TDBChart::AddSeries(TBarSeries* series) {
    if (!series || std::find(series_.begin(), series_.end(), series) != series_.end())
        return;
    if (series->ParentChart() && series->ParentChart() != this)
        series->ParentChart()->RemoveSeries(series);
    series_.push_back(series);
    series->setParentChart(this);
    seriesSourceChanged();
    showBarsChanged();
}

void TDBChart::RemoveSeries(TBarSeries* series) {
    const auto it = std::find(series_.begin(), series_.end(), series);
    if (it == series_.end())
        return;
    series_.erase(it);
    series->setParentChart(nullptr);
    seriesSourceChanged();
    showBarsChanged();
}

std::vector<TBarSeries*> TDBChart::seriesFedBy(const TDataSet* dataSet) const {
    std::vector<TBarSeries*> fed;
    for (TBarSeries* s : series_)
        if (s->DataSource() == dataSet)
            fed.push_back(s);
    return fed;
}

// One private data source per data set that feeds a series. A data source
// made for a data set that is already open reads its rows at once.
void TDBChart::seriesSourceChanged() {
    std::erase_if(sources_, [this](const std::unique_ptr<TDBChartDataSource>& source) {
        return seriesFedBy(source->dataSet()).empty();
    });
    for (TBarSeries* s : series_) {
        TDataSet* dataSet = s->DataSource();
        if (!dataSet || std::any_of(sources_.begin(), sources_.end(),
                                    [&](const auto& src) { return src->dataSet() == dataSet; }))
            continue;
        sources_.push_back(std::make_unique<TDBChartDataSource>(*this, *dataSet));
        if (dataSet->Active())
            RefreshDataSet(*dataSet);
    }
}

void TDBChart::clearSeriesOf(const TDataSet* dataSet) {
    for (TBarSeries* s : seriesFedBy(dataSet))
        s->Clear();
}

void TDBChart::seriesPointsChanged() {
    // A read tells once, at its end.
    if (!busy_)
        showBarsChanged();
}

void TDBChart::showBarsChanged() {
    update();
    notifyChartBarsChanged(this);
}

void TDBChart::RefreshDataSet(TDataSet& dataSet) {
    if (busy_ || !dataSet.Active())
        return;
    std::vector<TBarSeries*> fed;
    for (TBarSeries* s : seriesFedBy(&dataSet))
        if (!s->YValuesSource.isEmpty())
            fed.push_back(s);
    BusyScope busy(busy_);
    GlassCursor cursor(ShowGlassCursor);
    for (TBarSeries* s : fed)
        s->Clear();
    try {
        readRows(dataSet, fed);
    } catch (...) {
        showBarsChanged(); // the bars read so far stay
        throw;
    }
    showBarsChanged();
}

// One pass over the rows with the controls disabled, so that bound grids and
// detail tables neither repaint nor follow the walk, and the current row is
// put back afterwards.
void TDBChart::readRows(TDataSet& dataSet, const std::vector<TBarSeries*>& fed) {
    dataSet.DisableControls();
    TBookmark mark = dataSet.GetBookmark();
    auto restore = [&] {
        dataSet.GotoBookmark(mark);
        dataSet.FreeBookmark(mark);
        dataSet.EnableControls();
    };
    try {
        std::vector<TBarSeries::RowSources> sources;
        for (TBarSeries* s : fed)
            sources.push_back(s->resolveSources(dataSet));
        dataSet.First();
        while (!dataSet.Eof()) {
            for (size_t i = 0; i < fed.size(); ++i)
                fed[i]->AddCurrentRow(sources[i]);
            dataSet.Next();
        }
    } catch (const EAbort&) {
        // A silent abort only ends the walk.
    } catch (...) {
        try {
            restore();
        } catch (...) {
            // The first error is the one to report.
        }
        throw;
    }
    restore();
}

ChartLook TDBChart::currentLook() const {
    ChartLook look = look_;
    look.font = font();
    look.panelColor = palette().color(QPalette::Window);
    return look;
}

void TDBChart::paint(QPainter& painter, const QRectF& area) const {
    paintBarChart(painter, area, currentLook(), series_.empty() ? nullptr : series_.front());
}

QImage TDBChart::toImage(QSize size) const {
    if (!size.isValid())
        size = this->size();
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(palette().color(QPalette::Window));
    QPainter painter(&image);
    paint(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

void TDBChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paint(painter, QRectF(rect()));
}
