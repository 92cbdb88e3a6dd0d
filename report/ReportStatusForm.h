#pragma once
// TReportStatusForm, "Report Status": shown, not modally, while pages are
// generated; its Cancel stops the generation.
#include "ui_ReportStatusForm.h"

#include <QDialog>

class TReportSystem;

class TReportStatusForm : public QDialog, public Ui::ReportStatusForm {
    Q_OBJECT
public:
    explicit TReportStatusForm(const TReportSystem& system, QWidget* parent = nullptr);

    /// Shows the status line for `page`.
    void setPage(int page);
    bool cancelled() const { return m_cancelled; }

private:
    void reject() override;
    const TReportSystem& m_system;
    bool m_cancelled = false;
};
