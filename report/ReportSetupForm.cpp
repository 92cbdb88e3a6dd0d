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
    setObjectName(QStringLiteral("ReportSetupForm"));
    setWindowTitle(system.TitleSetup);
    setFont(QFont(QStringLiteral("Arial"), 8));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);

    PageControl = new QTabWidget(this);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    auto* outputPage = new QWidget;
    auto* rangePage = new QWidget;
    buildOutputPage(outputPage);
    buildRangePage(rangePage);
    PageControl->addTab(outputPage, QStringLiteral("Output"));
    const bool printing = pageCount > 0;
    const int top = printing ? 26 : 0;
    if (printing) {
        PageControl->addTab(rangePage, QStringLiteral("Print Range"));
        PageControl->setCurrentWidget(rangePage);
        PageControl->setGeometry(0, 0, 295, 240);
    } else {
        delete rangePage;
        PageControl->tabBar()->hide();
        PageControl->setDocumentMode(true);
        PageControl->setGeometry(0, 0, 295, 208);
    }

    bbtnOK = new QPushButton(QStringLiteral("   OK   "), this);
    bbtnOK->setObjectName(QStringLiteral("bbtnOK"));
    bbtnOK->setDefault(true);
    bbtnOK->setGeometry(8, 210 + top, 89, 25);
    CancelBB = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBB->setObjectName(QStringLiteral("CancelBB"));
    CancelBB->setGeometry(103, 210 + top, 89, 25);
    SetupBB = new QPushButton(QStringLiteral("&Setup"), this);
    SetupBB->setObjectName(QStringLiteral("SetupBB"));
    SetupBB->setGeometry(198, 210 + top, 89, 25);
    connect(bbtnOK, &QPushButton::clicked, this, &TReportSetupForm::accept);
    connect(CancelBB, &QPushButton::clicked, this, &TReportSetupForm::reject);
    connect(SetupBB, &QPushButton::clicked, this, &TReportSetupForm::printerSetup);
    setFixedSize(295, 242 + top);

    if (QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    updateControls();
}

void TReportSetupForm::buildOutputPage(QWidget* page) {
    auto* printerBox = new QGroupBox(QStringLiteral("Selected Printer"), page);
    printerBox->setGeometry(8, 4, 279, 42);
    PrinterLabel = new QLabel(reportPrinterLabel(m_system.SelectedPrinter), printerBox);
    PrinterLabel->setObjectName(QStringLiteral("PrinterLabel"));
    PrinterLabel->setGeometry(8, 18, 263, 16);

    auto* destBox = new QGroupBox(QStringLiteral("Report Destination"), page);
    destBox->setGeometry(8, 50, 137, 90);
    PrinterRB = new QRadioButton(QStringLiteral("&Printer"), destBox);
    PreviewRB = new QRadioButton(QStringLiteral("Pre&view"), destBox);
    FileRB = new QRadioButton(QStringLiteral("&File"), destBox);
    int y = 18;
    for (QRadioButton* rb : {PrinterRB, PreviewRB, FileRB}) {
        rb->setGeometry(10, y, 120, 20);
        y += 22;
        connect(rb, &QRadioButton::toggled, this, &TReportSetupForm::updateControls);
    }
    PrinterRB->setObjectName(QStringLiteral("PrinterRB"));
    PreviewRB->setObjectName(QStringLiteral("PreviewRB"));
    FileRB->setObjectName(QStringLiteral("FileRB"));

    auto* optionsBox = new QGroupBox(QStringLiteral("Options"), page);
    optionsBox->setGeometry(152, 50, 135, 90);
    auto* copiesLabel = new QLabel(QStringLiteral("&Copies"), optionsBox);
    copiesLabel->setGeometry(10, 20, 50, 16);
    CopiesED = new QLineEdit(QString::number(m_system.Copies), optionsBox);
    CopiesED->setObjectName(QStringLiteral("CopiesED"));
    CopiesED->setGeometry(66, 17, 57, 21);
    CopiesED->setValidator(digitsOnly(CopiesED));
    copiesLabel->setBuddy(CopiesED);
    CollateCK = new QCheckBox(QStringLiteral("C&ollate"), optionsBox);
    CollateCK->setObjectName(QStringLiteral("CollateCK"));
    CollateCK->setGeometry(10, 42, 115, 20);
    CollateCK->setChecked(m_system.Collate);
    DuplexCK = new QCheckBox(QStringLiteral("&Duplex"), optionsBox);
    DuplexCK->setObjectName(QStringLiteral("DuplexCK"));
    DuplexCK->setGeometry(10, 64, 115, 20);
    const bool printerDuplex =
        m_system.Duplex
            ? *m_system.Duplex != QPrinter::DuplexNone
            : (m_system.SelectedPrinter && m_system.printer().duplex() != QPrinter::DuplexNone);
    DuplexCK->setChecked(printerDuplex);

    editFileName = new QLineEdit(m_system.OutputFileName, page);
    editFileName->setObjectName(QStringLiteral("editFileName"));
    editFileName->setAccessibleName(QStringLiteral("File name")); // it has no label of its own
    editFileName->setGeometry(8, 148, 250, 21);
    connect(editFileName, &QLineEdit::textChanged, this, &TReportSetupForm::updateControls);
    sbtnBrowse = new QToolButton(page);
    sbtnBrowse->setObjectName(QStringLiteral("sbtnBrowse"));
    sbtnBrowse->setText(QStringLiteral("..."));
    sbtnBrowse->setGeometry(262, 148, 25, 21);
    connect(sbtnBrowse, &QToolButton::clicked, this, &TReportSetupForm::browse);
    auto* formatLabel = new QLabel(QStringLiteral("Format:"), page);
    formatLabel->setGeometry(8, 178, 48, 16);
    cboxFormat = new QComboBox(page);
    cboxFormat->setObjectName(QStringLiteral("cboxFormat"));
    cboxFormat->setGeometry(58, 175, 229, 21);
    formatLabel->setBuddy(cboxFormat);
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

void TReportSetupForm::buildRangePage(QWidget* page) {
    const QString count = QString::number(m_pageCount);
    auto* box = new QGroupBox(QStringLiteral("Print Range"), page);
    box->setGeometry(8, 8, 279, 120);
    AllRB = new QRadioButton(QStringLiteral("&All"), box);
    AllRB->setObjectName(QStringLiteral("AllRB"));
    AllRB->setGeometry(10, 20, 100, 20);
    AllRB->setChecked(true);
    SelectionRB = new QRadioButton(QStringLiteral("&Selection"), box);
    SelectionRB->setObjectName(QStringLiteral("SelectionRB"));
    SelectionRB->setGeometry(10, 50, 90, 20);
    SelectionED = new QLineEdit(QStringLiteral("1-") + count, box);
    SelectionED->setObjectName(QStringLiteral("SelectionED"));
    SelectionED->setGeometry(104, 49, 165, 21);
    SelectionED->setValidator(digitsOnly(SelectionED, "[0-9,\\-]*"));
    PagesRB = new QRadioButton(QStringLiteral("&Pages"), box);
    PagesRB->setObjectName(QStringLiteral("PagesRB"));
    PagesRB->setGeometry(10, 82, 90, 20);
    auto* fromLabel = new QLabel(QStringLiteral("From"), box);
    fromLabel->setGeometry(104, 84, 30, 16);
    FromED = new QLineEdit(QStringLiteral("1"), box);
    FromED->setObjectName(QStringLiteral("FromED"));
    FromED->setGeometry(136, 81, 50, 21);
    FromED->setValidator(digitsOnly(FromED));
    auto* toLabel = new QLabel(QStringLiteral("To"), box);
    toLabel->setGeometry(196, 84, 20, 16);
    ToED = new QLineEdit(count, box);
    ToED->setObjectName(QStringLiteral("ToED"));
    ToED->setGeometry(219, 81, 50, 21);
    ToED->setValidator(digitsOnly(ToED));
}

void TReportSetupForm::updateControls() {
    if (!bbtnOK)
        return; // still being built
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
