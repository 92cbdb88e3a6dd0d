#pragma once
// The chart window: places per room of the room list, as bars.
#include "shell/TForm.h"

#include "ui_Unit7.h"

#include <memory>

class TBarSeries;

class TForm7 : public TForm, public Ui::TForm7 {
    Q_OBJECT
public:
    TForm7();
    ~TForm7() override;

    /// The chart's one series, fed by the room list.
    std::unique_ptr<TBarSeries> Series1;

    void BitBtn1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void placeScrolledChildren();
    int seriesBinding_ = 0;
    bool scrollPlaced_ = false;
};

extern TForm7* Form7;
