// With Qt's Russian translations loaded, as on a Russian workstation: Qt's own
// texts are Russian, and every text the program gives in English stays as given.
#include "data/values/Exceptions.h"
#include "report/ReportPreviewForm.h"
#include "report/ReportSetupForm.h"
#include "report/ReportStatusForm.h"
#include "report/ReportSystem.h"
#include "shell/MessageBoxes.h"
#include "shell/TApplication.h"
#include "shell/TForm.h"

#include <QAbstractButton>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

bool isCyrillic(const QString& text) {
    return std::any_of(text.cbegin(), text.cend(),
                       [](QChar c) { return c.script() == QChar::Script_Cyrillic; });
}

/// Every caption of `form`'s buttons, labels and group boxes.
QStringList captions(const QWidget& form) {
    QStringList texts;
    for (const QAbstractButton* b : form.findChildren<QAbstractButton*>())
        texts << b->text();
    for (const QLabel* l : form.findChildren<QLabel*>())
        texts << l->text();
    for (const QGroupBox* g : form.findChildren<QGroupBox*>())
        texts << g->title();
    texts.removeAll(QString());
    texts.sort();
    return texts;
}

} // namespace

TEST(Translations, QtsOwnTextsAreRussian) {
    QLineEdit edit;
    std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    ASSERT_FALSE(menu->actions().isEmpty());
    EXPECT_TRUE(isCyrillic(menu->actions().front()->text()))
        << menu->actions().front()->text().toStdString();
    EXPECT_TRUE(isCyrillic(QCoreApplication::translate("QPlatformTheme", "Cancel")));
}

TEST(Translations, ConfirmationAndErrorBoxesKeepTheirEnglish) {
    QStringList seen;
    auto look = [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen << box->windowTitle() << box->text();
        for (QAbstractButton* b : box->buttons())
            seen << b->text();
        box->reject();
    };
    QTimer::singleShot(0, look);
    confirmDeleteRecord();
    EXPECT_EQ(seen, (QStringList{"Confirm", "Delete record?", "OK", "Cancel"}));
    seen.clear();
    QTimer::singleShot(0, look);
    showErrorBox(QStringLiteral("ADOQuery1: Cannot perform this operation on a closed dataset."),
                 QStringLiteral("Project1"));
    EXPECT_EQ(seen.back(), QStringLiteral("OK"));

    TForm window;
    window.Show();
    try {
        window.ShowModal();
        FAIL() << "no error";
    } catch (const EInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "Cannot make a visible window modal");
    }
}

TEST(Translations, ReportDialogsKeepTheirEnglish) {
    // A spooler test may add a queue meanwhile; its name is no caption of ours.
    setReportPrintersProvider([] { return QList<TReportPrinter>{}; });
    TReportSystem system;
    TReportSetupForm setup(system, 3); // with its "Print Range" page
    EXPECT_EQ(setup.windowTitle(), QStringLiteral("Output Options"));
    EXPECT_EQ(captions(setup), (QStringList{"   OK   ",
                                            "&All",
                                            "&Copies",
                                            "&Duplex",
                                            "&File",
                                            "&Pages",
                                            "&Printer",
                                            "&Selection",
                                            "&Setup",
                                            "...",
                                            "C&ollate",
                                            "Cancel",
                                            "Format:",
                                            "From",
                                            "No printers installed!",
                                            "Options",
                                            "Pre&view",
                                            "Print Range",
                                            "Report Destination",
                                            "Selected Printer",
                                            "To"}));
    EXPECT_EQ(setup.PageControl->tabText(0), QStringLiteral("Output"));
    EXPECT_EQ(setup.PageControl->tabText(1), QStringLiteral("Print Range"));

    TReportStatusForm status(system);
    EXPECT_EQ(status.windowTitle(), QStringLiteral("Report Status"));
    EXPECT_EQ(status.CancelButton->text(), QStringLiteral("Cancel"));

    TReportPreviewForm preview(system, report::ReportPages());
    EXPECT_EQ(preview.windowTitle(), QStringLiteral("Report Preview"));
    const std::pair<const char*, QKeySequence> shortcuts[] = {
        {"open", QKeySequence(Qt::CTRL | Qt::Key_O)},
        {"exit", QKeySequence(Qt::Key_Escape)},
        {"previous", QKeySequence(Qt::CTRL | Qt::Key_PageUp)},
        {"next", QKeySequence(Qt::CTRL | Qt::Key_PageDown)},
        {"last", QKeySequence(Qt::CTRL | Qt::Key_End)},
        {"zoomIn", QKeySequence(Qt::Key_Plus)},
        {"zoomOut", QKeySequence(Qt::Key_Minus)}};
    for (const auto& [name, keys] : shortcuts)
        EXPECT_EQ(preview.action(QString::fromLatin1(name))->shortcut(), keys) << name;
    EXPECT_EQ(preview.action("gotoPage")->text(), QStringLiteral("&Go to Page #"));
    EXPECT_EQ(preview.action("fitWidth")->toolTip(), QStringLiteral("Zoom to fit page width"));
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // A Russian workstation: the application object loads Qt's translations
    // for the workstation's language at start.
    qunsetenv("LC_ALL");
    qunsetenv("LC_MESSAGES");
    qputenv("LANG", "ru_RU.UTF-8");
    TApplication app(argc, argv);
    if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                       QStringLiteral("/qtbase_ru.qm"))) {
        fprintf(stderr, "Qt's Russian translations are missing (run tools/setup-debian)\n");
        return 1;
    }
    return RUN_ALL_TESTS();
}
