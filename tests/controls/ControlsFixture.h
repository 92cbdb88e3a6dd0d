#pragma once
// A small student catalog, one query over it and a data source, for driving
// the data-bound controls with real events.
#include "data/connection/TADOConnection.h"
#include "data/dataset/TADOQuery.h"
#include "data/dataset/TDataSource.h"
#include "shell/MessageBoxes.h"

#include <QWidget>
#include <memory>
#include <string>
#include <vector>

namespace controlstest {

/// Answers every message box with a chosen button and records what was asked.
class BoxAnswers {
public:
    explicit BoxAnswers(QMessageBox::StandardButton answer = QMessageBox::Ok);
    ~BoxAnswers();
    void answerWith(QMessageBox::StandardButton answer) { answer_ = answer; }
    const std::vector<MessageBoxRequest>& boxes() const { return boxes_; }

private:
    QMessageBox::StandardButton answer_;
    std::vector<MessageBoxRequest> boxes_;
};

/// A SQLite catalog holding `students` rows (Id_zach 101, 102, ...), with
/// ADOQuery1 "select * from student <where>" and DataSource1 on it.
struct StudentData {
    explicit StudentData(int students = 3);
    /// Replaces the query's filter line and keeps the query closed.
    void setWhere(const std::string& where);
    /// Rows now in the catalog's student table.
    int databaseRows() const;

    std::string path;
    TADOConnection connection{"ADOConnection1"};
    TADOQuery query{"ADOQuery1"};
    TDataSource source{"DataSource1"};
};

/// A shown, active top-level window to put controls in.
std::unique_ptr<QWidget> makeShownWindow(QSize size = {480, 260});

/// The widget with the keyboard focus, or fallback when none has it.
QWidget* focused(QWidget* fallback);
/// Types text into the focused widget one character at a time (Cyrillic too).
void typeText(QWidget* fallback, const QString& text);
/// Presses and releases a key on the focused widget.
void press(QWidget* fallback, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

} // namespace controlstest
