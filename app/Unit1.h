#pragma once
// The splash window: the photograph with a staged progress bar; it hands over
// to the main window on the 145th tick of its timer.
#include "shell/TForm.h"

#include "ui_Unit1.h"

#include <QTimer>

/// The splash stage, one per process: 0 at start, 1 from FormShow, then 2 to 5.
/// Compared for exact equality with the whole numbers 1 to 5.
extern double SplashStage;

class TForm1 : public TForm, public Ui::TForm1 {
    Q_OBJECT
public:
    TForm1();

    QTimer* Timer1;

    /// One tick of Timer1: the five stage steps, tested one after another.
    void Timer1Timer();
    /// Shows a JPEG file (or compiled-in resource) stretched over the client
    /// area; a picture that cannot be decoded leaves the area empty.
    void loadPicture(const QString& path);

protected:
    void FormShow() override;
    void resizeEvent(QResizeEvent* event) override;
};

extern TForm1* Form1;
