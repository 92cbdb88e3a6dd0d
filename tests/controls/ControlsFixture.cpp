#include "tests/controls/ControlsFixture.h"

#include "tests/support/Catalogs.h"

#include <QApplication>
#include <QTest>

namespace controlstest {

BoxAnswers::BoxAnswers(QMessageBox::StandardButton answer) : answer_(answer) {
    setMessageBoxHook([this](const MessageBoxRequest& r) {
        boxes_.push_back(r);
        return answer_;
    });
}

BoxAnswers::~BoxAnswers() {
    setMessageBoxHook({});
}

StudentData::StudentData(int students) : path(testsupport::makeTempSqliteCatalog(false)) {
    static const char* names[] = {"Петров", "Иванова", "Сидоров", "Орлов", "Козлова"};
    std::string sql;
    for (int i = 0; i < students; ++i) {
        sql += "insert into student(Id_zach, Fname, Lname, Fakultet, Kurs) values (" +
               std::to_string(101 + i) + ", '" + names[i % 5] + "', 'Имя" + std::to_string(i) +
               "', 'Экономический', " + std::to_string(1 + i % 5) + ");\n";
    }
    if (!sql.empty())
        testsupport::execSqlite(path, sql);
    connection.setConnectionString(testsupport::sqliteConnectionString(path));
    query.setConnection(&connection);
    query.SQL().assignDeclared({"select *", "from student", ""});
    source.setDataSet(&query);
}

void StudentData::setWhere(const std::string& where) {
    query.SQL().setLine(2, where);
}

int StudentData::databaseRows() const {
    return std::stoi(testsupport::queryScalarSqlite(path, "select count(*) from student"));
}

std::unique_ptr<QWidget> makeShownWindow(QSize size) {
    auto window = std::make_unique<QWidget>();
    window->resize(size);
    window->show();
    window->activateWindow();
    QApplication::setActiveWindow(window.get());
    (void)QTest::qWaitForWindowActive(window.get());
    return window;
}

QWidget* focused(QWidget* fallback) {
    QWidget* w = QApplication::focusWidget();
    return w ? w : fallback;
}

void typeText(QWidget* fallback, const QString& text) {
    for (QChar ch : text) {
        const auto key = Qt::Key(ch.toUpper().unicode());
        QTest::sendKeyEvent(QTest::Press, focused(fallback), key, QString(ch), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, focused(fallback), key, QString(ch), Qt::NoModifier);
    }
}

void press(QWidget* fallback, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(focused(fallback), key, modifiers);
}

} // namespace controlstest
