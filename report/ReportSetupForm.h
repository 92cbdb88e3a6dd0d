#pragma once
// TReportSetupForm, "Output Options": destination, file, copies and printer
// before a run; with its "Print Range" page when printing from the preview.
#include "report/ReportSystem.h"

#include <QDialog>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolButton;

class TReportSetupForm : public QDialog {
    Q_OBJECT
public:
    /// Shows the choices of `system`; OK writes them back into it. With
    /// `pageCount` > 0 the dialog prints from a preview: the destination is
    /// the printer and the "Print Range" page is shown first.
    explicit TReportSetupForm(TReportSystem& system, int pageCount = 0, QWidget* parent = nullptr);

    /// The pages chosen on "Print Range" (from 1); every page otherwise.
    std::vector<int> chosenPages() const;

    QLabel* PrinterLabel = nullptr;
    QRadioButton* PrinterRB = nullptr;
    QRadioButton* PreviewRB = nullptr;
    QRadioButton* FileRB = nullptr;
    QLineEdit* editFileName = nullptr;
    QToolButton* sbtnBrowse = nullptr;
    QComboBox* cboxFormat = nullptr;
    QLineEdit* CopiesED = nullptr;
    QCheckBox* CollateCK = nullptr;
    QCheckBox* DuplexCK = nullptr;
    QPushButton* bbtnOK = nullptr;
    QPushButton* CancelBB = nullptr;
    QPushButton* SetupBB = nullptr;
    QTabWidget* PageControl = nullptr;
    QRadioButton* AllRB = nullptr;
    QRadioButton* SelectionRB = nullptr;
    QRadioButton* PagesRB = nullptr;
    QLineEdit* SelectionED = nullptr;
    QLineEdit* FromED = nullptr;
    QLineEdit* ToED = nullptr;

private:
    void buildOutputPage(QWidget* page);
    void buildRangePage(QWidget* page);
    void updateControls();
    void browse();
    void printerSetup();
    void accept() override;

    TReportSystem& m_system;
    int m_pageCount;
};
