#pragma once
// TReportSystem: the output system a report run creates fresh: its settings,
// and what the user chose in "Output Options".
#include <QList>
#include <QPrinter>
#include <QSize>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

/// Where the pages of a run go.
enum class TReportDest { rdPreview, rdPrinter, rdFile };

/// File formats offered for the File destination, in the order listed.
enum class TReportFileFormat { ffRSF, ffPRN, ffPDF };

/// The caption of a file format in the dialogs.
QString reportFileFormatCaption(TReportFileFormat format);
/// The trimmed file name; a name without "." gets the format's extension
/// (".rsf", ".prn", ".pdf").
QString reportOutputFileName(const QString& typed, TReportFileFormat format);

/// A printer as the dialogs name it.
struct TReportPrinter {
    QString device;
    QString port; ///< empty when the system names none
};

/// The printers of the computer (QPrinterInfo), the default one first.
QList<TReportPrinter> installedReportPrinters();
/// Replaces the printer list (tests); an empty function restores the real one.
void setReportPrintersProvider(std::function<QList<TReportPrinter>()> provider);
/// "%s on %s", the device alone without a port, or "No printers installed!".
QString reportPrinterLabel(const std::optional<TReportPrinter>& printer);

/// Which choices "Output Options" allows.
struct TReportSetupOptions {
    bool copies = true, collate = true, duplex = true;
    bool destPreview = true, destPrinter = true, destFile = true;
    bool printerSetup = true;
};

struct TReportPreviewSettings {
    bool modal = true;
    QSize size{615, 450};
    Qt::WindowState windowState = Qt::WindowNoState;
    bool centered = true;
    int zoom = 100;    ///< percent
    int zoomStep = 10; ///< percent per Zoom In/Out
};

class TReportSystem {
public:
    TReportSystem();
    ~TReportSystem();

    // ---- settings of a run ----
    TReportDest DefaultDest = TReportDest::rdPreview;
    bool ShowSetupDialog = true;
    TReportSetupOptions SetupOptions;
    bool ShowStatus = true;
    bool AllowPrintFromPreview = true;
    TReportPreviewSettings Preview;
    int Copies = 1;
    int FirstPage = 1;
    int LastPage = 9999;
    bool Collate = false;
    /// Unset: the printer's own default.
    std::optional<QPrinter::DuplexMode> Duplex;
    QString TitleSetup = QStringLiteral("Output Options");
    QString TitleStatus = QStringLiteral("Report Status");
    QString TitlePreview = QStringLiteral("Report Preview");
    QString StatusFormat = QStringLiteral("Generating page %p");
    QString TempFilePrefix = QStringLiteral("RP");
    /// The report's title: the print job's name and a PDF's title.
    QString ReportTitle;

    // ---- chosen in "Output Options" ----
    TReportDest ReportDest = TReportDest::rdPreview;
    QString OutputFileName;
    TReportFileFormat FileFormat = TReportFileFormat::ffRSF;
    /// The selected printer; none when the computer has none.
    std::optional<TReportPrinter> SelectedPrinter;
    /// The printer the run prints through, set up for SelectedPrinter.
    QPrinter& printer();
    /// printer(), named for the report, once the selected printer is known to
    /// be still installed and accepting jobs; throws EReportError otherwise
    /// (it may have gone, or stopped taking jobs, since it was chosen).
    QPrinter& printerToPrintOn();

    /// The status line for page `page`.
    QString statusText(int page) const;

private:
    std::unique_ptr<QPrinter> m_printer;
};
