// The program takes no arguments: Qt's own command-line options given to it
// change nothing. The application object is made here from such a command line.
#include "shell/TApplication.h"
#include "shell/TForm.h"

#include <QStyle>
#include <QWindow>
#include <gtest/gtest.h>

namespace {
char program[] = "Project1";
char reverse[] = "-reverse";
char styleOption[] = "-style";
char styleName[] = "windows";
char platformOption[] = "-platform";
char platformName[] = "minimal";
char titleOption[] = "-qwindowtitle";
char title[] = "Other";
} // namespace

TEST(StartArguments, QtOptionsHaveNoEffect) {
    EXPECT_EQ(QGuiApplication::layoutDirection(), Qt::LeftToRight);
    EXPECT_NE(QApplication::style()->name(), QStringLiteral("windows"));
    EXPECT_EQ(QGuiApplication::platformName(), QStringLiteral("offscreen"));
    EXPECT_EQ(QCoreApplication::arguments().size(), 1);
    TForm window;
    window.setWindowTitle(QStringLiteral("Caption"));
    window.Show();
    EXPECT_EQ(window.windowHandle()->title(), QStringLiteral("Caption"));
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    char* line[] = {program,      reverse,     styleOption, styleName, platformOption,
                    platformName, titleOption, title,       nullptr};
    int count = 8;
    TApplication app(count, line);
    return RUN_ALL_TESTS();
}
