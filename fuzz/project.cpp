// Report project files are read from disk at every run and may be damaged or
// hostile. Decoding must end in a project or in EReportError; a project that
// decodes must encode to a file that decodes to the same project.
#include "report/ProjectFile.h"
#include "report/ReportErrors.h"

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const QByteArray contents(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString name = QStringLiteral("fuzz.rpj");
    report::Project project;
    try {
        project = report::decodeProject(contents, name);
    } catch (const EReportError&) {
        return 0;
    }
    const QByteArray once = report::encodeProject(project);
    const QByteArray twice = report::encodeProject(report::decodeProject(once, name));
    if (once != twice)
        __builtin_trap();
    return 0;
}
