#include "report/ReportSystem.h"
#include "report/ReportErrors.h"
#include "report/ReportSpooler.h"

#include <QPrinterInfo>

namespace {

std::function<QList<TReportPrinter>()>& printersProvider() {
    static std::function<QList<TReportPrinter>()> provider;
    return provider;
}

} // namespace

QString reportFileFormatCaption(TReportFileFormat format) {
    switch (format) {
    case TReportFileFormat::ffRSF:
        return QStringLiteral("Report Snapshot File (RSF)");
    case TReportFileFormat::ffPRN:
        return QStringLiteral("Native Printer Output (PRN)");
    case TReportFileFormat::ffPDF:
        return QStringLiteral("Portable Document Format (PDF)");
    }
    return {};
}

QString reportOutputFileName(const QString& typed, TReportFileFormat format) {
    QString name = typed.trimmed();
    if (name.isEmpty() || name.contains(u'.'))
        return name;
    switch (format) {
    case TReportFileFormat::ffRSF:
        return name + QStringLiteral(".rsf");
    case TReportFileFormat::ffPRN:
        return name + QStringLiteral(".prn");
    case TReportFileFormat::ffPDF:
        return name + QStringLiteral(".pdf");
    }
    return name;
}

QList<TReportPrinter> installedReportPrinters() {
    if (printersProvider())
        return printersProvider()();
    QList<TReportPrinter> out;
    const QString defaultName = QPrinterInfo::defaultPrinterName();
    for (const QPrinterInfo& info : QPrinterInfo::availablePrinters()) {
        TReportPrinter p{info.printerName(), info.location()};
        if (info.printerName() == defaultName)
            out.prepend(p);
        else
            out.append(p);
    }
    return out;
}

void setReportPrintersProvider(std::function<QList<TReportPrinter>()> provider) {
    printersProvider() = std::move(provider);
}

QString reportPrinterLabel(const std::optional<TReportPrinter>& printer) {
    if (!printer)
        return QStringLiteral("No printers installed!");
    if (printer->port.isEmpty())
        return printer->device;
    return QStringLiteral("%1 on %2").arg(printer->device, printer->port);
}

TReportSystem::TReportSystem() {
    const QList<TReportPrinter> printers = installedReportPrinters();
    if (!printers.isEmpty())
        SelectedPrinter = printers.front();
    ReportDest = DefaultDest;
}

TReportSystem::~TReportSystem() = default;

QPrinter& TReportSystem::printer() {
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        if (SelectedPrinter)
            m_printer->setPrinterName(SelectedPrinter->device);
    }
    return *m_printer;
}

QPrinter& TReportSystem::printerToPrintOn() {
    const QString name = SelectedPrinter ? SelectedPrinter->device : QString();
    const auto unavailable = [&name] {
        return EReportError(QStringLiteral("Printer \"%1\" is not available. Nothing was printed")
                                .arg(name)
                                .toStdString());
    };
    if (name.isEmpty() || QPrinterInfo::printerInfo(name).isNull())
        throw unavailable();
    report::checkPrinterAcceptsJobs(name);
    QPrinter& p = printer();
    // A QPrinter keeps its former printer when the name it is given is unknown.
    if (p.printerName() != name)
        p.setPrinterName(name);
    if (p.printerName() != name || p.outputFormat() != QPrinter::NativeFormat)
        throw unavailable();
    p.setDocName(ReportTitle);
    return p;
}

QString TReportSystem::statusText(int page) const {
    QString text = StatusFormat;
    return text.replace(QStringLiteral("%p"), QString::number(page));
}
