// rpjmake <layout.json> <project.rpj>: writes a report project file from its
// readable layout description, checking it by reading the result back.
#include "report/ProjectFile.h"
#include "tools/rpjmake/LayoutJson.h"

#include <QFile>
#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: rpjmake <layout.json> <project.rpj>\n");
        return 2;
    }
    const QString input = QString::fromLocal8Bit(argv[1]);
    const QString output = QString::fromLocal8Bit(argv[2]);
    try {
        QFile in(input);
        if (!in.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "rpjmake: cannot read %s: %s\n", argv[1],
                         qPrintable(in.errorString()));
            return 1;
        }
        const report::Project project = projectFromJson(in.readAll());
        const QByteArray encoded = report::encodeProject(project);
        report::decodeProject(encoded, output); // refuses what the engine would refuse
        report::saveProjectFile(project, output);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "rpjmake: %s: %s\n", argv[1], e.what());
        return 1;
    }
    return 0;
}
