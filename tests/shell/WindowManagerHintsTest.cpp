// What the window manager reads from our windows on a real X server (run
// under Xvfb by CTest): titles exactly as given, the application title as the
// window class, and a window shown modally transient for its opener and modal.
#include "shell/TApplication.h"
#include "shell/TForm.h"

#include <QProcess>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

/// One property of an X window as xprop prints it ("NAME(TYPE) = value").
QString xprop(const QWidget& window, const char* property) {
    QProcess p;
    p.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window.winId()),
                                      QString::fromLatin1(property)});
    if (!p.waitForFinished(10000))
        return QStringLiteral("xprop did not answer");
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

QString windowId(const QWidget& window) {
    return QStringLiteral("0x%1").arg(window.winId(), 0, 16);
}

struct Window : TForm {
    explicit Window(const QString& caption) {
        setWindowTitle(caption);
        resize(300, 200);
    }
};

} // namespace

TEST(WindowManagerHints, TitlesAreTheCaptionsAndTheClassIsTheApplicationTitle) {
    Window main(QStringLiteral("База данных общежития"));
    main.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    EXPECT_EQ(xprop(main, "_NET_WM_NAME"),
              QStringLiteral("_NET_WM_NAME(UTF8_STRING) = \"База данных общежития\""));
    EXPECT_TRUE(xprop(main, "WM_CLASS")
                    .endsWith(QStringLiteral(", \"") + Application->Title() + QStringLiteral("\"")))
        << xprop(main, "WM_CLASS").toStdString();
    EXPECT_TRUE(xprop(main, "WM_TRANSIENT_FOR").contains(QStringLiteral("not found")));
}

TEST(WindowManagerHints, ModalWindowIsTransientForItsOpenerAndModal) {
    Window main(QStringLiteral("База данных общежития"));
    main.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    Window dialog(QStringLiteral("Диаграмма"));
    const QPoint designed(150, 120);
    dialog.move(designed);
    QString transient, state, title;
    bool disabledOwner = false;
    QTimer::singleShot(0, [&] {
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        transient = xprop(dialog, "WM_TRANSIENT_FOR");
        state = xprop(dialog, "_NET_WM_STATE");
        title = xprop(dialog, "_NET_WM_NAME");
        disabledOwner = !main.isEnabled();
        dialog.Close();
    });
    dialog.ShowModal();
    EXPECT_EQ(transient, QStringLiteral("WM_TRANSIENT_FOR(WINDOW): window id # ") + windowId(main));
    EXPECT_TRUE(state.contains(QStringLiteral("_NET_WM_STATE_MODAL"))) << state.toStdString();
    EXPECT_EQ(title, QStringLiteral("_NET_WM_NAME(UTF8_STRING) = \"Диаграмма\""));
    EXPECT_TRUE(disabledOwner);
    // Afterwards the window is no longer modal, and it kept its place.
    EXPECT_EQ(dialog.windowModality(), Qt::NonModal);
    EXPECT_EQ(dialog.pos(), designed);
    EXPECT_TRUE(main.isEnabled());
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    TApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
