#pragma once
// The whole window set over a fresh catalog, with message boxes answered
// through the seam and recorded.
#include "app/WindowSet.h"
#include "data/module/Unit3.h"
#include "shell/MessageBoxes.h"
#include "shell/TApplication.h"
#include "tests/support/Catalogs.h"
#include "tests/ui/TestApplication.h"
#include "ui/main/Unit2.h"

#include <QAbstractButton>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>
#include <gtest/gtest.h>

class WindowSetTest : public testing::Test {
protected:
    void SetUp() override {
        setMessageBoxHook([this](const MessageBoxRequest& box) {
            boxes.push_back(box);
            if (answers.empty())
                return box.defaultButton;
            const auto answer = answers.front();
            answers.pop_front();
            return answer;
        });
        CreateWindowSet(*Application);
        catalogPath = testsupport::makeTempSqliteCatalog();
        useCatalog(testsupport::sqliteConnectionString(catalogPath));
        Form2->Show();
    }
    void TearDown() override {
        Application->DestroyComponents();
        if (Application->Terminated())
            restartApplication();
        setMessageBoxHook({});
    }
    void useCatalog(const std::string& connectionString) {
        DataModule3->ADOConnection1->setConnectionString(connectionString);
    }

    /// Runs the steps while the window is shown modally, then closes it.
    static void whileModal(TForm* window, std::function<void()> steps) {
        QTimer::singleShot(0, [window, steps] {
            steps();
            if (window->isVisible())
                window->Close();
        });
    }

    /// Types text one character at a time (Cyrillic included).
    static void type(QWidget* widget, const QString& text) {
        for (QChar ch : text) {
            QTest::sendKeyEvent(QTest::Press, widget, Qt::Key(ch.toUpper().unicode()), QString(ch),
                                Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, widget, Qt::Key(ch.toUpper().unicode()),
                                QString(ch), Qt::NoModifier);
        }
    }

    /// First value of a query on the test's SQLite catalog, read past the program.
    std::string scalar(const std::string& sql) const {
        return testsupport::queryScalarSqlite(catalogPath, sql);
    }
    static void click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    std::string catalogPath;
    std::vector<MessageBoxRequest> boxes;
    std::deque<QMessageBox::StandardButton> answers;
};
