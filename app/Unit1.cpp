#include "app/Unit1.h"

#include "shell/JpegImage.h"
#include "shell/TApplication.h"
#include "ui/main/Unit2.h"

#include <QPixmap>

#include <algorithm>

TForm1* Form1 = nullptr;
double SplashStage = 0;

namespace {

/// The compiled-in JPEG bytes of the photograph.
const QString SplashPicture = QStringLiteral(":/splash.jpg");

/// Adds to the bar's position, kept within its range, and reads it back.
int advance(QProgressBar* bar, int step) {
    bar->setValue(std::clamp(bar->value() + step, bar->minimum(), bar->maximum()));
    return bar->value();
}

} // namespace

TForm1::TForm1() {
    setupUi(this);
    applyDesignedGeometry();
    loadPicture(SplashPicture);
    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, guarded([this] { Timer1Timer(); }));
    Timer1->start();
}

void TForm1::loadPicture(const QString& path) {
    const QImage picture = decodeJpegFile(path);
    Image1->setPixmap(picture.isNull() ? QPixmap() : QPixmap::fromImage(picture));
}

void TForm1::resizeEvent(QResizeEvent* event) {
    TForm::resizeEvent(event);
    // Aligned to the client area: the picture stretches, the bar stays put.
    Image1->setGeometry(rect());
}

void TForm1::FormShow() {
    SplashStage = 1;
    Timer1->setInterval(10); // restarts the count of a running timer
    if (!Timer1->isActive())
        Timer1->start();
}

void TForm1::Timer1Timer() {
    if (SplashStage == 1 && advance(ProgressBar1, 10) == 100) {
        ProgressBar1->setValue(0);
        SplashStage = 2;
    }
    if (SplashStage == 2 && advance(ProgressBar1, 30) == 90) {
        ProgressBar1->setValue(0);
        SplashStage = 3;
    }
    if (SplashStage == 3 && advance(ProgressBar1, 2) == 90) {
        ProgressBar1->setValue(0);
        SplashStage = 4;
    }
    if (SplashStage == 4 && advance(ProgressBar1, 1) == 90) {
        ProgressBar1->setValue(0);
        SplashStage = 5;
    }
    if (SplashStage == 5) {
        if (advance(ProgressBar1, 5) == 100)
            Timer1->stop();
        Form2->Show();
        Hide();
    }
}
