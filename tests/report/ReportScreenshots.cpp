// report_screenshots <docs folder>: runs the shipped report over the demo
// catalog and writes the first page (report-page1.png), the first two pages
// side by side (report-pages.png) and the preview window
// (report-preview.png), headless, in the formats of a Russian workstation.
#include "data/module/Unit3.h"
#include "data/values/FormatSettings.h"
#include "report/Form2Reports.h"
#include "report/ReportLock.h"
#include "report/ReportPreviewForm.h"
#include "report/ReportSystem.h"
#include "tests/support/Catalogs.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: report_screenshots <folder>\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir temp;
    TReportLock::setDefaultPath(temp.filePath(QStringLiteral("report.lock")));
    QApplication app(argc, argv);
    const QDir out(QString::fromLocal8Bit(argv[1]));

    FormatSettings().DecimalSeparator = ',';
    FormatSettings().ShortDateFormat = "%d.%m.%Y";
    const std::string catalog = testsupport::makeTempSqliteCatalog(true);
    TDataModule3 module;
    module.ADOConnection1->setConnectionString(testsupport::sqliteConnectionString(catalog));
    TForm2ReportComponents reports;
    reports.ReportProject1.onSystemCreated = [&](TReportSystem& s) {
        s.ShowSetupDialog = false;
        s.ReportDest = TReportDest::rdFile;
        s.OutputFileName = temp.filePath(QStringLiteral("demo.rsf"));
    };
    report::ReportPages pages;
    reports.ReportProject1.onPagesGenerated = [&pages](const report::PageSource& p) {
        pages = report::readAllPages(p);
    };
    reports.runReport(nullptr);

    const double dpi = 110;
    QImage page(int(pages.paperSize.width() / 25.4 * dpi),
                int(pages.paperSize.height() / 25.4 * dpi), QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        pages.paint(0, painter, QRectF(QPointF(0, 0), page.size()));
    }
    page.save(out.filePath(QStringLiteral("report-page1.png")));

    const int gap = 24;
    QImage two(2 * page.width() + 3 * gap, page.height() + 2 * gap, QImage::Format_RGB32);
    two.fill(QColor(0x80, 0x80, 0x80));
    {
        QPainter painter(&two);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        for (int i = 0; i < std::min(2, pages.pageCount()); ++i) {
            const QRectF sheet(gap + i * (page.width() + gap), gap, page.width(), page.height());
            painter.fillRect(sheet, Qt::white);
            pages.paint(i, painter, sheet);
        }
    }
    two.save(out.filePath(QStringLiteral("report-pages.png")));

    TReportSystem system;
    system.ReportTitle = reports.ReportProject1.project().settings.title;
    TReportPreviewForm preview(system, pages);
    preview.show();
    QApplication::processEvents();
    preview.grab().save(out.filePath(QStringLiteral("report-preview.png")));
    std::printf("%d pages\n", pages.pageCount());
    return 0;
}
