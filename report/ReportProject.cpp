#include "report/ReportProject.h"
#include "report/ProjectFile.h"
#include "report/ReportErrors.h"
#include "report/ReportGenerator.h"
#include "report/ReportLock.h"
#include "report/ReportOutput.h"
#include "report/ReportPreviewForm.h"
#include "report/ReportSetupForm.h"
#include "report/ReportSpooler.h"
#include "report/ReportStatusForm.h"
#include "report/ReportSystem.h"
#include "report/Snapshot.h"

#include "shell/MessageBoxes.h"
#include "shell/Texts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>
#include <memory>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

QString applicationTitle() {
    return applicationTitleFromPath(QCoreApplication::applicationFilePath());
}

QMessageBox::StandardButton engineBox(const QString& text, QMessageBox::StandardButtons buttons,
                                      QMessageBox::StandardButton defaultButton,
                                      QMessageBox::StandardButton escapeButton) {
    MessageBoxRequest request;
    request.text = text;
    request.caption = applicationTitle();
    request.icon = QMessageBox::Critical;
    request.buttons = buttons;
    request.defaultButton = defaultButton;
    request.escapeButton = escapeButton;
    return showMessageBox(request);
}

// Waits for the data communication lock, asking the user each time it stays
// busy; false when the user gives up.
bool takeLock(TReportLock& lock, std::chrono::milliseconds timeout) {
    while (!lock.acquire(timeout)) {
        const auto answer = engineBox(
            QStringLiteral("Unable to gain control of Report Data Communication System."),
            QMessageBox::Retry | QMessageBox::Cancel, QMessageBox::Retry, QMessageBox::Cancel);
        if (answer != QMessageBox::Retry)
            return false;
    }
    return true;
}

// Asking for the name makes the file visible in the folder: Qt would
// otherwise keep it unnamed.
void openTemporaryFile(QTemporaryFile& temp) {
    if (!temp.open() || temp.fileName().isEmpty())
        throw EFOpenError(
            QStringLiteral("Cannot create file \"%1\". %2")
                .arg(QDir::toNativeSeparators(temp.fileTemplate()), temp.errorString())
                .toStdString());
}

// A long run leaves a heap far larger than the program needs between runs;
// glibc keeps freed memory for the process unless asked to give it back.
void returnFreedMemory() {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

QString reportTitle(const report::Project& project, const report::Report& report) {
    return project.settings.title.isEmpty() ? report.name : project.settings.title;
}

void deliver(TReportSystem& system, const std::shared_ptr<const report::PageSource>& shown,
             QWidget* parent) {
    const report::PageSource& pages = *shown;
    switch (system.ReportDest) {
    case TReportDest::rdPreview: {
        TReportPreviewForm preview(system, shown, parent);
        preview.exec();
        return;
    }
    case TReportDest::rdPrinter: {
        QPrinter& printer = system.printerToPrintOn();
        if (system.Duplex)
            printer.setDuplex(*system.Duplex);
        report::printPages(pages, printer,
                           report::pageSpan(pages, system.FirstPage, system.LastPage),
                           system.Copies, system.Collate);
        return;
    }
    case TReportDest::rdFile:
        switch (system.FileFormat) {
        case TReportFileFormat::ffRSF:
            report::saveSnapshot(pages, system.OutputFileName);
            return;
        case TReportFileFormat::ffPDF:
            report::writePdf(pages, system.OutputFileName, system.ReportTitle);
            return;
        case TReportFileFormat::ffPRN:
            // What the printer's driver makes of the pages, not Qt's own PDF.
            report::writePrinterOutput(pages, system.printerToPrintOn().printerName(),
                                       system.OutputFileName, system.ReportTitle);
            return;
        }
    }
}

} // namespace

void TReportProject::setProjectFile(const QString& fileName) {
    m_projectFile = fileName;
    if (!fileName.isEmpty() && !fileName.contains(u'.'))
        m_projectFile += QStringLiteral(".rpj");
}

void TReportProject::Open() {
    if (m_project)
        return;
    const QString absolute = QFileInfo(m_projectFile).absoluteFilePath();
    if (m_projectFile.isEmpty() || !QFileInfo::exists(absolute))
        throw EReportError(QStringLiteral("The following reporting project does not exist:\n\"%1\"")
                               .arg(absolute)
                               .toStdString());
    m_project = report::loadProjectFile(absolute);
}

void TReportProject::Execute() {
    Open();
    struct GiveBackMemory {
        ~GiveBackMemory() { returnFreedMemory(); }
    } afterTheRun;
    runActiveReport();
}

void TReportProject::runActiveReport() {
    const report::Report* active = m_project->activeReport();
    if (!active)
        return;                             // a project without reports has nothing to run
    const report::Report working = *active; // a run never changes the loaded project

    TReportLock lock;
    if (!takeLock(lock, lockTimeout))
        return;

    TReportSystem system;
    system.ReportTitle = reportTitle(*m_project, working);
    if (onSystemCreated)
        onSystemCreated(system);
    if (system.ShowSetupDialog) {
        TReportSetupForm setup(system, 0, dialogParent);
        if (setup.exec() != QDialog::Accepted)
            return;
    }

    // Pages go to a temporary file as they are made, and delivery reads them
    // back from there one at a time: what is shown, printed or filed is what
    // the file holds, and no run holds all its pages in memory.
    QTemporaryFile temp(QDir::tempPath() + u'/' + system.TempFilePrefix +
                        QStringLiteral("XXXXXX.tmp"));
    openTemporaryFile(temp);
    const QString tempName = QDir::toNativeSeparators(temp.fileName());
    report::SnapshotWriter writer(temp, QSizeF(working.page.width, working.page.height), tempName);
    report::ReportGenerator generator(*m_project, working);
    generator.onPageDone = [&writer](const report::ReportPage& page) { writer.addPage(page); };
    std::unique_ptr<TReportStatusForm> status;
    if (system.ShowStatus) {
        status = std::make_unique<TReportStatusForm>(system, dialogParent);
        status->show();
    }
    generator.onPage = [&](int page) {
        if (!status)
            return true;
        status->setPage(page);
        QCoreApplication::processEvents();
        return !status->cancelled();
    };
    const auto outcome = generator.run();
    status.reset();
    if (outcome == report::ReportGenerator::Status::Aborted) {
        engineBox(QStringLiteral("Error!  Could not open data connection \"%1\".  Aborting report.")
                      .arg(generator.missingConnection()),
                  QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok);
        return;
    }
    if (outcome == report::ReportGenerator::Status::Cancelled)
        return;
    writer.finish(generator.pages().fonts);
    {
        const auto pages = std::make_shared<report::SnapshotFile>(temp.fileName());
        if (onPagesGenerated)
            onPagesGenerated(*pages);
        deliver(system, pages, dialogParent);
    }
    generator.restoreConnections();
}
