// Every command the mouse reaches is reachable by keyboard: the Tab order of
// the windows, Ctrl+Tab out of a grid (where Tab keeps to the cells), the menu
// bar by F10 and a control's context menu by Shift+F10.
#include "WindowSetFixture.h"

#include "controls/TDBGrid.h"
#include "ui/dialogs/Unit4.h"

#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>

void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

/// The controls the keyboard visits from `start` until it comes back there:
/// Tab, or Ctrl+Tab to leave a grid.
QStringList keyboardStops(QWidget* start, int most = 30) {
    QStringList names;
    start->setFocus();
    QWidget* w = QApplication::focusWidget();
    for (int i = 0; i < most && w; ++i) {
        // The box's own line edit stands for the box.
        QWidget* control = qobject_cast<QComboBox*>(w->parentWidget()) ? w->parentWidget() : w;
        names << control->objectName();
        const bool grid = qobject_cast<TDBGrid*>(control) != nullptr;
        QTest::keyClick(w, Qt::Key_Tab, grid ? Qt::ControlModifier : Qt::NoModifier);
        w = QApplication::focusWidget();
        if (w == start)
            break;
    }
    return names;
}

/// The menu that `open` pops up (a context menu runs its own loop, a menu
/// bar's does not), closed again at once, with the window that was active
/// before active again.
QMenu* menuShownBy(const std::function<void()>& open) {
    QWidget* const active = QApplication::activeWindow();
    QMenu* shown = nullptr;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            shown = menu;
            menu->close();
            poll.stop();
        }
    });
    poll.start();
    open();
    static_cast<void>(QTest::qWaitFor([&] { return shown != nullptr; }, 2000));
    // The headless platform activates a shown popup through a queued event;
    // on a loaded machine it arrives after the popup has closed and leaves
    // the hidden popup as the active window, which no window manager does.
    QCoreApplication::processEvents();
    if (active)
        QApplication::setActiveWindow(active);
    return shown;
}

} // namespace

TEST_F(WindowSetTest, MainWindowTabOrderAndCtrlTabOutOfGrids) {
    QApplication::setActiveWindow(Form2);
    // Every control is reached. One place differs from the designed order:
    // the page tabs come after the grids rather than first. No radio button
    // is chosen yet, so none is a stop.
    EXPECT_EQ(keyboardStops(Form2->DBGrid1),
              (QStringList{"DBGrid1", "DBGrid2", "DBGrid3", "qt_tabwidget_tabbar", "Edit1",
                           "BitBtn1", "BitBtn3", "BitBtn7"}));
    // The chosen radio button is a stop; so are the editing commands once shown.
    Form2->RadioButton2->setChecked(true);
    for (QWidget* w :
         std::initializer_list<QWidget*>{Form2->BitBtn4, Form2->BitBtn5, Form2->BitBtn6})
        w->show();
    EXPECT_EQ(
        keyboardStops(Form2->DBGrid1),
        (QStringList{"DBGrid1", "DBGrid2", "DBGrid3", "qt_tabwidget_tabbar", "RadioButton2",
                     "Edit1", "BitBtn1", "BitBtn4", "BitBtn5", "BitBtn6", "BitBtn3", "BitBtn7"}));
    // Backwards out of a grid.
    Form2->DBGrid2->setFocus();
    QTest::keyClick(Form2->DBGrid2, Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), Form2->DBGrid1);
    // Ctrl+Tab outside a grid turns the page.
    Form2->BitBtn1->setFocus();
    QTest::keyClick(Form2->BitBtn1, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(Form2->PageControl1->currentWidget(), Form2->TabSheet2);
}

TEST_F(WindowSetTest, MenusByKeyboard) {
    QApplication::setActiveWindow(Form2);
    Form2->BitBtn1->setFocus();
    EXPECT_EQ(menuShownBy([] { QTest::keyClick(Form2->BitBtn1, Qt::Key_F10); }), Form2->N1);
    EXPECT_EQ(menuShownBy([] { QTest::keyClick(Form2->BitBtn1, Qt::Key_F10, Qt::ShiftModifier); }),
              Form2->PopupMenu1);
    // An edit box has its standard edit menu.
    Form2->Edit1->setFocus();
    QMenu* editMenu =
        menuShownBy([] { QTest::keyClick(Form2->Edit1, Qt::Key_F10, Qt::ShiftModifier); });
    ASSERT_NE(editMenu, nullptr);
    EXPECT_NE(editMenu, Form2->PopupMenu1);
}

TEST_F(WindowSetTest, PaymentDialogTabOrder) {
    QStringList stops;
    whileModal(Form4, [&] {
        QApplication::setActiveWindow(Form4);
        stops = keyboardStops(Form4->ComboBox1);
    });
    Form4->ShowModal();
    EXPECT_EQ(stops, (QStringList{"ComboBox1", "Edit1", "BitBtn1", "Edit2", "DBGrid1"}));
}
