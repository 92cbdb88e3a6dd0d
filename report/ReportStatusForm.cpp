#include "report/ReportStatusForm.h"
#include "report/ReportSystem.h"

#include <QScreen>

TReportStatusForm::TReportStatusForm(const TReportSystem& system, QWidget* parent)
    : QDialog(parent), m_system(system) {
    setupUi(this);
    setWindowTitle(system.TitleStatus);
    // A title and nothing else: the window is closed by Cancel or by the run.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(size());
    connect(CancelButton, &QPushButton::clicked, this, &TReportStatusForm::reject);
    if (QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

void TReportStatusForm::setPage(int page) {
    StatusLabel->setText(m_system.statusText(page));
}

void TReportStatusForm::reject() {
    m_cancelled = true;
    CancelButton->setEnabled(false);
}
