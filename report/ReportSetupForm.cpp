#include "report/ReportSetupForm.h"
#include "report/ReportOutput.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QTabWidget>
#include <QToolButton>

namespace {

constexpr TReportFileFormat kFormats[] = {TReportFileFormat::ffRSF, TReportFileFormat::ffPRN,
                                          TReportFileFormat::ffPDF};

QRegularExpressionValidator* digitsOnly(QObject* parent, const char* pattern = "[0-9]*") {
    return new QRegularExpressionValidator(QRegularExpression(QString::fromLatin1(pattern)),
                                           parent);
}

} // namespace

TReportSetupForm::TReportSetupForm(TReportSystem& system, int pageCount, QWidget* parent)
    : QDialog(parent), m_system(system), m_pageCount(pageCount) {
    setupUi(this);
    setWindowTitle(system.TitleSetup);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    fillOutputPage();
    const bool printing = pageCount > 0;
    const int top = printing ? 26 : 0;
    if (printing) {
        fillRangePage();
        PageControl->setCurrentWidget(RangePage);
        PageControl->resize(295, 240);
        for (QPushButton* b : {bbtnOK, CancelBB, SetupBB})
            b->move(b->x(), b->y() + top);
    } else {
        delete RangePage;
        RangePage = nullptr;
        AllRB = SelectionRB = PagesRB = nullptr;
        SelectionED = FromED = ToED = nullptr;
        PageControl->tabBar()->hide();
        PageControl->setDocumentMode(true);
    }
    setFixedSize(295, 242 + top);

    for (QRadioButton* rb : {PrinterRB, PreviewRB, FileRB})
        connect(rb, &QRadioButton::toggled, this, &TReportSetupForm::updateControls);
    connect(editFileName, &QLineEdit::textChanged, this, &TReportSetupForm::updateControls);
    connect(sbtnBrowse, &QToolButton::clicked, this, &TReportSetupForm::browse);
    connect(bbtnOK, &QPushButton::clicked, this, &TReportSetupForm::accept);
    connect(CancelBB, &QPushButton::clicked, this, &TReportSetupForm::reject);
    connect(SetupBB, &QPushButton::clicked, this, &TReportSetupForm::printerSetup);

    if (QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    updateControls();
}

// The system's choices; the layout and captions come from the form file.
void TReportSetupForm::fillOutputPage() {
    PrinterLabel->setText(reportPrinterLabel(m_system.SelectedPrinter));
    CopiesED->setText(QString::number(m_system.Copies));
    CopiesED->setValidator(digitsOnly(CopiesED));
    CollateCK->setChecked(m_system.Collate);
    const bool printerDuplex =
        m_system.Duplex
            ? *m_system.Duplex != QPrinter::DuplexNone
            : (m_system.SelectedPrinter && m_system.printer().duplex() != QPrinter::DuplexNone);
    DuplexCK->setChecked(printerDuplex);
    editFileName->setText(m_system.OutputFileName);
    for (TReportFileFormat f : kFormats)
        cboxFormat->addItem(reportFileFormatCaption(f), int(f));
    cboxFormat->setCurrentIndex(0);

    const bool havePrinter = m_system.SelectedPrinter.has_value();
    const bool printing = m_pageCount > 0;
    PrinterRB->setEnabled(havePrinter && m_system.SetupOptions.destPrinter);
    FileRB->setEnabled(havePrinter && m_system.SetupOptions.destFile && !printing);
    PreviewRB->setEnabled(m_system.SetupOptions.destPreview && !printing);
    if (printing)
        PrinterRB->setChecked(true);
    else if (!havePrinter || m_system.ReportDest == TReportDest::rdPreview)
        PreviewRB->setChecked(true);
    else if (m_system.ReportDest == TReportDest::rdPrinter)
        PrinterRB->setChecked(true);
    else
        FileRB->setChecked(true);
}

void TReportSetupForm::fillRangePage() {
    const QString count = QString::number(m_pageCount);
    SelectionED->setText(QStringLiteral("1-") + count);
    SelectionED->setValidator(digitsOnly(SelectionED, "[0-9,\\-]*"));
    FromED->setValidator(digitsOnly(FromED));
    ToED->setText(count);
    ToED->setValidator(digitsOnly(ToED));
}

void TReportSetupForm::updateControls() {
    const bool file = FileRB->isChecked();
    const bool printer = PrinterRB->isChecked();
    const bool havePrinter = m_system.SelectedPrinter.has_value();
    editFileName->setEnabled(file);
    sbtnBrowse->setEnabled(file);
    cboxFormat->setEnabled(file);
    CopiesED->setEnabled(printer && m_system.SetupOptions.copies);
    CollateCK->setEnabled(printer && m_system.SetupOptions.collate);
    DuplexCK->setEnabled(printer && m_system.SetupOptions.duplex);
    SetupBB->setEnabled(!file && havePrinter && m_system.SetupOptions.printerSetup);
    bool okAllowed = !(file && editFileName->text().trimmed().isEmpty());
    if (m_pageCount > 0)
        okAllowed = okAllowed && havePrinter; // nothing to print on
    bbtnOK->setEnabled(okAllowed);
}

void TReportSetupForm::browse() {
    QStringList filters{QStringLiteral("All Files (*)")};
    for (TReportFileFormat f : kFormats)
        filters << QStringLiteral("%1 (*.%2)")
                       .arg(reportFileFormatCaption(f),
                            reportOutputFileName(QStringLiteral("x"), f).section(u'.', -1));
    QString chosenFilter;
    const QString name = QFileDialog::getSaveFileName(
        this, QString(), editFileName->text(), filters.join(QStringLiteral(";;")), &chosenFilter);
    if (name.isEmpty())
        return;
    editFileName->setText(name);
    const int index = int(filters.indexOf(chosenFilter)) - 1;
    if (index >= 0)
        cboxFormat->setCurrentIndex(index);
}

void TReportSetupForm::printerSetup() {
    QPrintDialog dialog(&m_system.printer(), this);
    if (dialog.exec() == QDialog::Accepted && !m_system.printer().printerName().isEmpty()) {
        const QString name = m_system.printer().printerName();
        for (const TReportPrinter& p : installedReportPrinters())
            if (p.device == name)
                m_system.SelectedPrinter = p;
    }
    PrinterLabel->setText(reportPrinterLabel(m_system.SelectedPrinter));
}

std::vector<int> TReportSetupForm::chosenPages() const {
    std::vector<int> all;
    for (int p = 1; p <= m_pageCount; ++p)
        all.push_back(p);
    if (m_pageCount <= 0 || AllRB->isChecked())
        return all;
    if (SelectionRB->isChecked())
        return report::parsePageSelection(SelectionED->text(), m_pageCount);
    std::vector<int> span;
    for (int p = std::max(1, FromED->text().toInt());
         p <= std::min(ToED->text().toInt(), m_pageCount); ++p)
        span.push_back(p);
    return span;
}

void TReportSetupForm::accept() {
    if (!bbtnOK->isEnabled())
        return;
    if (FileRB->isChecked()) {
        m_system.ReportDest = TReportDest::rdFile;
        m_system.FileFormat = TReportFileFormat(cboxFormat->currentData().toInt());
        m_system.OutputFileName = reportOutputFileName(editFileName->text(), m_system.FileFormat);
    } else {
        m_system.ReportDest =
            PrinterRB->isChecked() ? TReportDest::rdPrinter : TReportDest::rdPreview;
        m_system.OutputFileName.clear();
    }
    bool ok = false;
    const int copies = CopiesED->text().toInt(&ok);
    if (ok)
        m_system.Copies = copies;
    m_system.Collate = CollateCK->isChecked();
    if (!DuplexCK->isChecked())
        m_system.Duplex = QPrinter::DuplexNone;
    else if (!m_system.Duplex || *m_system.Duplex == QPrinter::DuplexNone) {
        // keep the printer's own duplex mode when it has one
        const QPrinter::DuplexMode own = m_system.printer().duplex();
        m_system.Duplex = own != QPrinter::DuplexNone ? own : QPrinter::DuplexAuto;
    }
    QDialog::accept();
}
