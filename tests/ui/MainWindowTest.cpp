// The main window over a real catalog: menus and the password, search, sorting.
#include "tests/ui/WindowSetFixture.h"
#include "ui/main/Unit2.h"
#include "ui/main/Unit8.h"
#include "ui/sql/SqlText.h"

#include "report/ReportSystem.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QProcess>
#include <QTemporaryDir>

namespace {

QStringList shownTexts(const QList<QAction*>& actions) {
    QStringList texts;
    for (QAction* a : actions) {
        if (a->isVisible())
            texts << a->text();
    }
    return texts;
}

std::string currentText(TDataSet& dataSet, const char* field) {
    return dataSet.FieldByName(field)->DisplayText();
}

} // namespace

TEST(QuotedLiteral, EveryQuoteIsDoubledSoTheTextStaysOneLiteral) {
    EXPECT_EQ(quotedLiteral(""), "''");
    EXPECT_EQ(quotedLiteral("O'Neil"), "'O''Neil'");
    EXPECT_EQ(quotedLiteral("''; drop table student; --"), "'''''; drop table student; --'");
    EXPECT_EQ(quotedLiteral("Петров\\"), "'Петров\\'");
    EXPECT_EQ(searchFilterLine(SearchMode::Surname, "Петров", ""), "where Fname='Петров'");
    EXPECT_EQ(searchFilterLine(SearchMode::RecordBook, "20571", "x"), "where Id_zach='20571'");
    EXPECT_EQ(searchFilterLine(SearchMode::None, "20571", "where Fname='a'"), "where Fname='a'");
}

TEST_F(WindowSetTest, ExactPasswordRevealsEditingCommandsAndAWrongOneIsRefused) {
    EXPECT_EQ(shownTexts(Form2->N1->actions()),
              QStringList({"Ввести пароль", "Диаграмма", "Выйти"}));
    EXPECT_EQ(shownTexts(Form2->PopupMenu1->actions()),
              QStringList({"Ввести пароль", "О программе", "Выход"}));
    EXPECT_TRUE(Form2->BitBtn4->isHidden());

    whileModal(Form8, [this] {
        Form8->Edit1->setFocus();
        type(Form8->Edit1, " 0917");
        QTest::keyClick(Form8->Edit1, Qt::Key_Return); // Enter does not submit
        EXPECT_TRUE(boxes.empty());
        click(Form8->Button1);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "Не правильный пароль! Повторите попытку!");
        EXPECT_EQ(boxes[0].icon, QMessageBox::NoIcon);
        EXPECT_EQ(boxes[0].caption, Application->Title());
        EXPECT_TRUE(Form8->isVisible());
        EXPECT_EQ(Form8->Edit1->text(), " 0917");
        EXPECT_EQ(Form8->Edit1->displayText(), "*****");
        EXPECT_TRUE(Form2->BitBtn4->isHidden());

        Form8->Edit1->clear();
        type(Form8->Edit1, "0917");
        click(Form8->Button1);
        EXPECT_EQ(boxes.size(), 1u);
    });
    Form2->N2Click();

    EXPECT_FALSE(Form8->isVisible());
    EXPECT_EQ(shownTexts(Form2->N1->actions()),
              QStringList({"Диаграмма", "Добавить студента", "Удалить студента", "Добавить платеж",
                           "Выйти"}));
    EXPECT_EQ(shownTexts(Form2->PopupMenu1->actions()), QStringList({"О программе", "Выход"}));
    for (QPushButton* b : {Form2->BitBtn4, Form2->BitBtn5, Form2->BitBtn6})
        EXPECT_TRUE(b->isVisible()) << b->objectName().toStdString();
}

TEST_F(WindowSetTest, NothingIsOpenOrConnectedAfterStartUp) {
    EXPECT_FALSE(DataModule3->ADOConnection1->Connected());
    EXPECT_FALSE(DataModule3->ADOQuery1->Active());
    EXPECT_FALSE(Form2->BitBtn6->isVisible());
}

TEST_F(WindowSetTest, SearchBeforeAnyModeShowsTheWholeList) {
    click(Form2->BitBtn1);
    ASSERT_TRUE(DataModule3->ADOQuery1->Active());
    EXPECT_EQ(std::to_string(DataModule3->ADOQuery1->RecordCount()),
              scalar("select count(*) from student"));
    EXPECT_EQ(DataModule3->ADOQuery1->SQL()[2], "");
}

TEST_F(WindowSetTest, SurnameWithApostropheIsFoundAndFilterSurvivesModeChange) {
    click(Form2->RadioButton2);
    Form2->Edit1->setText("O'Neil");
    click(Form2->BitBtn1);
    TADOQuery& students = *DataModule3->ADOQuery1;
    EXPECT_EQ(students.SQL()[2], "where Fname='O''Neil'");
    ASSERT_EQ(students.RecordCount(), 1);
    EXPECT_EQ(currentText(students, "Id_zach"), "20572");

    // Switching the mode does nothing by itself; "Весь список" empties the line.
    click(Form2->RadioButton1);
    EXPECT_EQ(students.SQL()[2], "where Fname='O''Neil'");
    click(Form2->BitBtn3);
    EXPECT_EQ(students.SQL()[2], "");
    EXPECT_EQ(std::to_string(students.RecordCount()), scalar("select count(*) from student"));
}

TEST_F(WindowSetTest, CyrillicSurnameAndHostileTextsReachTheDatabaseAsOneLiteral) {
    click(Form2->RadioButton2);
    for (const QString& text : {QStringLiteral("Петров"), QStringLiteral("x' or '1'='1"),
                               QStringLiteral("'; delete from student; --"), QStringLiteral("\\'"),
                               QString(5000, QChar(u'Ё'))}) {
        Form2->Edit1->setText(text);
        click(Form2->BitBtn1);
        ASSERT_TRUE(boxes.empty()) << boxes.back().text.toStdString();
        const std::string expected = scalar("select count(*) from student where Fname = " +
                                            quotedLiteral(text.toStdString()));
        EXPECT_EQ(std::to_string(DataModule3->ADOQuery1->RecordCount()), expected);
    }
    EXPECT_NE(scalar("select count(*) from student"), "0");
}

TEST_F(WindowSetTest, DetailGridsFollowTheCurrentStudentAfterASearch) {
    DataModule3->ADOTable2->Open();
    DataModule3->ADOTable3->Open();
    click(Form2->RadioButton1);
    Form2->Edit1->setText("20571");
    click(Form2->BitBtn1);
    TADOTable& payments = *DataModule3->ADOTable3;
    ASSERT_EQ(std::to_string(payments.RecordCount()),
              scalar("select count(*) from Platej where Id_zach = 20571"));
    ASSERT_GT(payments.RecordCount(), 0);
    const int column = payments.FieldByName("Id_zach")->Index();
    for (int row = 0; row < payments.rowCount(); ++row)
        EXPECT_EQ(payments.rowDisplayText(row, column), "20571");
    EXPECT_EQ(std::to_string(DataModule3->ADOTable2->RecordCount()),
              scalar("select count(*) from Vselenie where Id_zach = 20571"));
}

TEST_F(WindowSetTest, SortButtonsCheckBoxAndPickingTwice) {
    Form2->PageControl1->setCurrentIndex(1);
    TADOQuery& rooms = *DataModule3->ADOQuery6;
    EXPECT_FALSE(rooms.Active());

    click(Form2->RadioButton3);
    EXPECT_EQ(rooms.SQL()[2], "ORDER BY id_room ASC");
    ASSERT_TRUE(rooms.Active());
    EXPECT_EQ(currentText(rooms, "id_room"), scalar("select min(id_room) from Room"));

    click(Form2->RadioButton4);
    EXPECT_EQ(rooms.SQL()[2], "ORDER BY Korpus ASC");
    click(Form2->CheckBox1); // ticked: nothing reloads, no button stays selected
    EXPECT_TRUE(rooms.Active());
    EXPECT_EQ(rooms.SQL()[2], "ORDER BY Korpus ASC");
    for (QRadioButton* r : {Form2->RadioButton3, Form2->RadioButton4, Form2->RadioButton5})
        EXPECT_FALSE(r->isChecked());

    click(Form2->RadioButton4);
    EXPECT_EQ(rooms.SQL()[2], "ORDER BY Korpus DESC");
    EXPECT_EQ(currentText(rooms, "Korpus"), scalar("select max(Korpus) from Room"));

    click(Form2->RadioButton5);
    EXPECT_EQ(rooms.SQL()[2], "ORDER BY Kol_mest DESC");
    rooms.Next();
    rooms.Next();
    click(Form2->RadioButton5); // already selected: no reload
    EXPECT_EQ(rooms.RecNo(), 3);

    click(Form2->CheckBox1);
    click(Form2->CheckBox1);
    EXPECT_EQ(rooms.RecNo(), 3);
    EXPECT_EQ(rooms.SQL()[2], "ORDER BY Kol_mest DESC");
    EXPECT_FALSE(Form2->RadioButton5->isChecked());
}

class MainWindowOnServer : public WindowSetTest {
protected:
    void SetUp() override {
        if (testsupport::testPgConninfo().empty())
            GTEST_SKIP() << "no PostgreSQL test cluster";
        WindowSetTest::SetUp();
        testsupport::resetPostgresCatalog();
        useCatalog(testsupport::postgresConnectionString());
    }
};

TEST_F(MainWindowOnServer, RecordBookTextTheDatabaseCannotConvertShowsItsMessage) {
    click(Form2->RadioButton1);
    Form2->Edit1->setText("abc");
    click(Form2->BitBtn1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "invalid input syntax for type integer: \"abc\"");
    EXPECT_EQ(boxes[0].icon, QMessageBox::Critical);
    EXPECT_FALSE(DataModule3->ADOQuery1->Active());
    EXPECT_EQ(DataModule3->ADOQuery1->SQL()[2], "where Id_zach='abc'");

    // The program goes on: the next search works.
    Form2->Edit1->setText("20571");
    click(Form2->BitBtn1);
    EXPECT_EQ(DataModule3->ADOQuery1->RecordCount(), 1);
}

TEST_F(WindowSetTest, PrintButtonRunsTheShippedReportAndLeavesTheListAsFound) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath("report.pdf");
    Form2->ReportProject1.onSystemCreated = [pdf](TReportSystem& s) {
        s.ShowSetupDialog = false;
        s.ReportDest = TReportDest::rdFile;
        s.FileFormat = TReportFileFormat::ffPDF;
        s.OutputFileName = pdf;
    };
    click(Form2->BitBtn3);
    DataModule3->ADOQuery1->MoveBy(4);
    click(Form2->BitBtn7);
    ASSERT_TRUE(boxes.empty()) << boxes[0].text.toStdString();
    EXPECT_EQ(DataModule3->ADOQuery1->RecNo(), 5);
    EXPECT_FALSE(DataModule3->ADOTable3->Active());

    QProcess pdftotext;
    pdftotext.start("pdftotext", {pdf, "-"});
    ASSERT_TRUE(pdftotext.waitForFinished(60000));
    const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
    EXPECT_TRUE(text.contains("Петров")) << text.left(300).toStdString();
    EXPECT_TRUE(text.contains("O'Neil"));
    EXPECT_TRUE(text.contains("20571"));
}

TEST_F(WindowSetTest, RightClickOpensTheContextMenuExceptInTextBoxes) {
    auto menuOn = [](QWidget* target) {
        QWidget* shown = nullptr;
        QTimer::singleShot(0, [&shown] {
            shown = QApplication::activePopupWidget();
            if (shown)
                shown->close();
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                                target->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(target, &event);
        QCoreApplication::processEvents();
        return shown;
    };
    for (QWidget* target :
         std::initializer_list<QWidget*>{Form2->BitBtn1, Form2->RadioButton1, Form2->Label1,
                                         Form2->DBGrid1, Form2->RadioGroup1, Form2->TabSheet1})
        EXPECT_EQ(menuOn(target), Form2->PopupMenu1) << target->objectName().toStdString();
    EXPECT_NE(menuOn(Form2->Edit1), Form2->PopupMenu1);
}
