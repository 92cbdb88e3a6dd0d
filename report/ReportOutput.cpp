#include "report/ReportOutput.h"
#include "report/ReportErrors.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

namespace report {

namespace {

QPageSize pageSizeOf(const PageSource& pages) {
    return QPageSize(pages.paper(), QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
}

QPageLayout::Orientation orientationOf(const PageSource& pages) {
    return pages.paper().width() > pages.paper().height() ? QPageLayout::Landscape
                                                          : QPageLayout::Portrait;
}

QString printFailure(const QPrinter& printer) {
    if (printer.outputFormat() == QPrinter::NativeFormat && printer.outputFileName().isEmpty())
        return QStringLiteral("Printing on \"%1\" could not be started. Nothing was printed")
            .arg(printer.printerName());
    return QStringLiteral("Cannot create file \"%1\". The printer output cannot be written")
        .arg(QFileInfo(printer.outputFileName()).absoluteFilePath());
}

} // namespace

void writePdf(const PageSource& pages, const QString& fileName, const QString& title) {
    QPdfWriter writer(fileName);
    writer.setPageSize(pageSizeOf(pages));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(600);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("ZEMT report engine"));
    QPainter painter;
    if (!painter.begin(&writer))
        throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2")
                              .arg(QFileInfo(fileName).absoluteFilePath(),
                                   QStringLiteral("The file cannot be written"))
                              .toStdString());
    const QRectF target(0, 0, writer.width(), writer.height());
    for (int i = 0; i < pages.pageCount(); ++i) {
        if (i > 0)
            writer.newPage();
        pages.paint(i, painter, target);
    }
    if (!painter.end())
        throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2")
                              .arg(QFileInfo(fileName).absoluteFilePath(),
                                   QStringLiteral("The file cannot be written"))
                              .toStdString());
}

std::vector<int> allPages(const PageSource& pages) {
    return pageSpan(pages, 1, pages.pageCount());
}

std::vector<int> pageSpan(const PageSource& pages, int first, int last) {
    std::vector<int> out;
    for (int p = std::max(1, first); p <= std::min(last, pages.pageCount()); ++p)
        out.push_back(p);
    return out;
}

std::vector<int> parsePageSelection(const QString& text, int pageCount) {
    std::vector<int> out;
    for (const QString& part : text.split(u',', Qt::SkipEmptyParts)) {
        const QStringList ends = part.split(u'-');
        bool ok1 = false, ok2 = false;
        int from = ends.value(0).trimmed().toInt(&ok1);
        int to = from;
        ok2 = ok1;
        if (ends.size() == 2) {
            // "3-" runs to the last page, "-3" from the first
            from = ends[0].trimmed().isEmpty() ? 1 : ends[0].trimmed().toInt(&ok1);
            to = ends[1].trimmed().isEmpty() ? pageCount : ends[1].trimmed().toInt(&ok2);
            ok1 = ok1 || ends[0].trimmed().isEmpty();
        } else if (ends.size() > 2) {
            continue;
        }
        if (!ok1 || !ok2)
            continue;
        for (int p = std::max(1, from); p <= std::min(to, pageCount); ++p)
            out.push_back(p);
    }
    return out;
}

void printPages(const PageSource& pages, QPrinter& printer, const std::vector<int>& pageNumbers,
                int copies, bool collate) {
    printer.setFullPage(true);
    printer.setPageSize(pageSizeOf(pages));
    printer.setPageOrientation(orientationOf(pages));
    printer.setCopyCount(std::max(1, copies));
    printer.setCollateCopies(collate);
    // A driver that makes the copies itself gets one set; otherwise they are
    // printed here, one after another.
    const int ownCopies = printer.supportsMultipleCopies() ? 1 : std::max(1, copies);
    QPainter painter;
    if (!painter.begin(&printer))
        throw EReportError(printFailure(printer).toStdString());
    const QRectF target = printer.pageLayout().fullRectPixels(printer.resolution());
    bool firstSheet = true;
    auto sheet = [&](int number) {
        if (!firstSheet)
            printer.newPage();
        firstSheet = false;
        pages.paint(number - 1, painter, QRectF(0, 0, target.width(), target.height()));
    };
    if (collate) {
        for (int c = 0; c < ownCopies; ++c)
            for (int p : pageNumbers)
                sheet(p);
    } else {
        for (int p : pageNumbers)
            for (int c = 0; c < ownCopies; ++c)
                sheet(p);
    }
    if (!painter.end())
        throw EReportError(printFailure(printer).toStdString());
}

} // namespace report
