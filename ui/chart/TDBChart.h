#pragma once
// A chart bound to data sets: bar series painted with QPainter, filled from
// the rows of their data sets whenever those are opened.
#include "ui/chart/ChartPainter.h"

#include <QColor>
#include <QImage>
#include <QStringList>
#include <QWidget>

#include <memory>
#include <vector>

class TBarSeries;
class TDataSet;
class TDBChartDataSource;

class TDBChart : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QStringList titleText READ titleText WRITE setTitleText)
    Q_PROPERTY(QColor backWallColor READ backWallColor WRITE setBackWallColor)
    Q_PROPERTY(bool view3D READ view3D WRITE setView3D)
    Q_PROPERTY(int chart3DPercent READ chart3DPercent WRITE setChart3DPercent)
public:
    explicit TDBChart(QWidget* parent = nullptr);
    ~TDBChart() override;

    QStringList titleText() const { return look_.title; }
    void setTitleText(const QStringList& lines);
    QColor backWallColor() const { return look_.backWallColor; }
    void setBackWallColor(const QColor& colour);
    bool view3D() const { return look_.view3D; }
    void setView3D(bool on);
    int chart3DPercent() const { return look_.depthPercent; }
    void setChart3DPercent(int percent);
    /// Pixel rows at the top that the window keeps out of view.
    int hiddenTop() const { return static_cast<int>(look_.hiddenTop); }
    void setHiddenTop(int rows);

    /// Hourglass cursor while rows are read.
    bool ShowGlassCursor = true;

    /// Takes a series into the chart (the chart does not own it).
    void AddSeries(TBarSeries* series);
    void RemoveSeries(TBarSeries* series);
    int SeriesCount() const { return static_cast<int>(series_.size()); }
    TBarSeries* Series(int index) const { return series_.at(static_cast<size_t>(index)); }

    /// Reads all rows of an open data set into the series fed by it, keeping
    /// the data set's current row. Does nothing while another read is under
    /// way or when the data set is closed.
    void RefreshDataSet(TDataSet& dataSet);
    /// Removes every bar of the series fed by a data set.
    void clearSeriesOf(const TDataSet* dataSet);
    /// A read is under way.
    bool busy() const { return busy_; }

    /// The one drawing routine, for the screen and for images alike.
    void paint(QPainter& painter, const QRectF& area) const;
    /// The chart drawn into an image of the given size (the widget's size by default).
    QImage toImage(QSize size = QSize()) const;

    /// A series changed its data set: rebind the private data sources.
    void seriesSourceChanged();
    /// A series' points changed: repaint, and tell assistive technology.
    void seriesPointsChanged();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ChartLook currentLook() const;
    void showBarsChanged();
    void readRows(TDataSet& dataSet, const std::vector<TBarSeries*>& fed);
    std::vector<TBarSeries*> seriesFedBy(const TDataSet* dataSet) const;

    ChartLook look_;
    std::vector<TBarSeries*> series_;
    std::vector<std::unique_ptr<TDBChartDataSource>> sources_;
    bool busy_ = false;
};
