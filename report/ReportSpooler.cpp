#include "report/ReportSpooler.h"
#include "report/ReportErrors.h"
#include "report/ReportOutput.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cups/cups.h>
#include <cups/ppd.h>
#include <memory>
#include <unistd.h>

namespace report {

namespace {

// The driver's filters as the spooler runs them; part of the spooler package.
const char* const kFilterProgram = "/usr/sbin/cupsfilter";

[[noreturn]] void unavailable(const QString& printer, const QString& why) {
    throw EReportError(
        QStringLiteral("Printer \"%1\" %2. Nothing was printed").arg(printer, why).toStdString());
}

[[noreturn]] void cannotWrite(const QString& fileName, const QString& why) {
    throw EFOpenError(QStringLiteral("Cannot create file \"%1\". %2")
                          .arg(QFileInfo(fileName).absoluteFilePath(), why)
                          .toStdString());
}

/// A copy of the queue's driver description, removed again afterwards; empty
/// when the queue has none.
class QueueDriver {
public:
    explicit QueueDriver(const QString& printer) {
        // Deprecated for drivers to come, but the file is what the driver's
        // filters need to run outside a job.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        const char* file = cupsGetPPD(printer.toLocal8Bit().constData());
#pragma GCC diagnostic pop
        if (file)
            m_file = QString::fromLocal8Bit(file);
    }
    ~QueueDriver() {
        if (!m_file.isEmpty())
            ::unlink(m_file.toLocal8Bit().constData());
    }
    QueueDriver(const QueueDriver&) = delete;
    QueueDriver& operator=(const QueueDriver&) = delete;
    const QString& file() const {
        return m_file;
    }

private:
    QString m_file;
};

} // namespace

void checkPrinterAcceptsJobs(const QString& printer) {
    cups_dest_t* dest =
        cupsGetNamedDest(CUPS_HTTP_DEFAULT, printer.toLocal8Bit().constData(), nullptr);
    if (!dest)
        unavailable(printer, QStringLiteral("is not available"));
    const char* accepting =
        cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
    const bool refuses = accepting && QByteArray(accepting) == "false";
    cupsFreeDests(1, dest);
    if (refuses)
        unavailable(printer, QStringLiteral("does not accept jobs"));
}

void writePrinterOutput(const PageSource& pages, const QString& printer, const QString& fileName,
                        const QString& title) {
    checkPrinterAcceptsJobs(printer);
    QTemporaryDir work;
    if (!work.isValid())
        cannotWrite(fileName, work.errorString());
    const QString pdf = work.filePath(QStringLiteral("pages.pdf"));
    writePdf(pages, pdf, title);
    const QueueDriver driver(printer);
    if (driver.file().isEmpty()) {
        QFile::remove(fileName);
        if (!QFile::copy(pdf, fileName))
            cannotWrite(fileName, QStringLiteral("The file cannot be written"));
        return;
    }
    QProcess filter;
    filter.setStandardOutputFile(fileName);
    filter.setStandardErrorFile(QProcess::nullDevice());
    filter.start(QString::fromLatin1(kFilterProgram),
                 {QStringLiteral("-p"), driver.file(), QStringLiteral("-m"),
                  QStringLiteral("printer/foo"), QStringLiteral("-e"), QStringLiteral("-t"), title,
                  pdf});
    if (!filter.waitForStarted(-1))
        unavailable(printer,
                    QStringLiteral("has no driver program (%1)").arg(filter.errorString()));
    filter.waitForFinished(-1);
    if (filter.exitStatus() != QProcess::NormalExit || filter.exitCode() != 0) {
        QFile::remove(fileName);
        unavailable(printer, QStringLiteral("could not render the pages"));
    }
    if (QFileInfo(fileName).size() == 0)
        cannotWrite(fileName, QStringLiteral("The file cannot be written"));
}

} // namespace report
