// Snapshot files are opened by the operator and shown in the preview. Loading
// must end in pages or in EReportError; loaded pages must survive a save and
// load unchanged and must paint (the preview's first step) without fault.
#include "report/Snapshot.h"
#include "report/ReportErrors.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // Painting text needs the font database, which needs an application.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const QByteArray contents(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString name = QStringLiteral("fuzz.rsf");
    report::ReportPages pages;
    try {
        pages = report::decodeSnapshot(contents, name);
    } catch (const EReportError&) {
        return 0;
    }
    if (!(report::decodeSnapshot(report::encodeSnapshot(pages), name) == pages))
        __builtin_trap();
    QImage image(60, 85, QImage::Format_RGB32);
    QPainter painter(&image);
    for (int i = 0; i < pages.pageCount() && i < 3; ++i)
        pages.paint(i, painter, QRectF(0, 0, image.width(), image.height()));
    return 0;
}
