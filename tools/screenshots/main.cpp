// Takes the README's pictures of the main window and the dialogs over a
// catalog, headless. Usage: zemt-screenshots CATALOG_FILE OUTPUT_DIR
#include "app/WindowSet.h"
#include "data/module/Unit3.h"
#include "shell/TApplication.h"
#include "ui/dialogs/Unit4.h"
#include "ui/dialogs/Unit6.h"
#include "ui/main/Unit2.h"

#include <QDir>
#include <QTimer>
#include <cstdio>

namespace {

void save(QWidget* window, const QString& dir, const QString& name) {
    QCoreApplication::processEvents();
    const QString path = QDir(dir).filePath(name);
    if (!window->grab().save(path))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

void shootDialog(TForm* dialog, const QString& dir, const QString& name) {
    QTimer::singleShot(0, [=] {
        save(dialog, dir, name);
        dialog->Close();
    });
    dialog->ShowModal();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s CATALOG_FILE OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    const QString out = QString::fromLocal8Bit(argv[2]);
    CreateWindowSet(app);
    DataModule3->ADOConnection1->setConnectionString(std::string("Provider=SQLite;Data Source=") +
                                                     argv[1]);

    Form2->Show();
    Form2->BitBtn3Click();
    DataModule3->ADOTable2->Open();
    DataModule3->ADOTable3->Open();
    DataModule3->ADOQuery1->MoveBy(3);
    save(Form2, out, "main-students.png");

    Form2->PageControl1->setCurrentIndex(1);
    Form2->RadioButton3->setChecked(true);
    DataModule3->ADOTable1->Open();
    DataModule3->ADOQuery6->MoveBy(2);
    save(Form2, out, "main-rooms.png");

    Form2->PageControl1->setCurrentIndex(0);
    shootDialog(Form4, out, "dialog-payment.png");
    shootDialog(Form6, out, "dialog-checkin.png");
    app.DestroyComponents();
    return 0;
}
