// Writes the documentation screenshot: a filled student grid with its
// navigator bar, painted headless. Usage: controls_grid_screenshot <out.png>
#include "controls/TDBGrid.h"
#include "controls/TDBNavigator.h"
#include "shell/TApplication.h"
#include "tests/controls/ControlsFixture.h"
#include "tests/support/Catalogs.h"

#include <QPixmap>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <out.png>\n", argv[0]);
        return 2;
    }
    TApplication app(argc, argv);
    TADOConnection connection("ADOConnection1");
    connection.setConnectionString(
        testsupport::sqliteConnectionString(testsupport::makeTempSqliteCatalog(true)));
    TADOQuery query("ADOQuery1");
    query.setConnection(&connection);
    query.SQL().assignDeclared({"select *", "from student", ""});
    TDataSource source("DataSource1");
    source.setDataSet(&query);

    QWidget window;
    window.resize(600, 276);
    auto* grid = new TDBGrid(&window);
    grid->setGeometry(8, 8, 584, 225);
    grid->setColumnList(QStringLiteral("Id_zach;Fname;Lname;Fakultet:96;Kurs"));
    grid->setDataSource(&source);
    auto* bar = new TDBNavigator(&window);
    bar->setGeometry(8, 243, 231, 25);
    bar->setVisibleButtons(QStringLiteral("nbFirst,nbPrior,nbNext,nbLast,nbEdit,nbPost,nbCancel"));
    bar->setDataSource(&source);
    window.show();
    grid->setFocus();
    query.Open();
    query.MoveBy(3);
    grid->setCurrentColumn(1);
    QApplication::processEvents();
    return window.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
