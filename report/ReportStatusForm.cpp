#include "report/ReportStatusForm.h"
#include "report/ReportSystem.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>

TReportStatusForm::TReportStatusForm(const TReportSystem& system, QWidget* parent)
    : QDialog(parent), m_system(system) {
    setObjectName(QStringLiteral("ReportStatusForm"));
    setWindowTitle(system.TitleStatus);
    // A title and nothing else: the window is closed by Cancel or by the run.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(260, 100);
    StatusLabel = new QLabel(this);
    StatusLabel->setObjectName(QStringLiteral("StatusLabel"));
    StatusLabel->setAlignment(Qt::AlignCenter);
    StatusLabel->setGeometry(8, 16, 244, 20);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setGeometry(90, 60, 80, 25);
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
