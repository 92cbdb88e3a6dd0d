#pragma once
// TReportSetupForm, "Output Options": destination, file, copies and printer
// before a run; with its "Print Range" page when printing from the preview.
#include "report/ReportSystem.h"

#include "ui_ReportSetupForm.h"

#include <QDialog>
#include <vector>

class TReportSetupForm : public QDialog, public Ui::ReportSetupForm {
    Q_OBJECT
public:
    /// Shows the choices of `system`; OK writes them back into it. With
    /// `pageCount` > 0 the dialog prints from a preview: the destination is
    /// the printer and the "Print Range" page is shown first.
    explicit TReportSetupForm(TReportSystem& system, int pageCount = 0, QWidget* parent = nullptr);

    /// The pages chosen on "Print Range" (from 1); every page otherwise.
    std::vector<int> chosenPages() const;

private:
    void fillOutputPage();
    void fillRangePage();
    void updateControls();
    void browse();
    void printerSetup();
    void accept() override;

    TReportSystem& m_system;
    int m_pageCount;
};
