// Start-up and shutdown of the real window set.
#include "app/Unit1.h"
#include "data/values/Exceptions.h"
#include "shell/FallbackErrorDisplay.h"
#include "tests/ui/WindowSetFixture.h"
#include "ui/chart/Unit7.h"
#include "ui/dialogs/Unit4.h"
#include "ui/main/Unit9.h"

TEST_F(WindowSetTest, RunShowsOnlyTheSplashAndClosingTheMainWindowEndsTheRun) {
    Form2->Hide();
    ASSERT_EQ(Application->MainForm(), Form1);
    bool onlySplash = false;
    QTimer::singleShot(0, [&] {
        onlySplash = Form1->isVisible() && !Form2->isVisible() && !Form4->isVisible() &&
                     !Form7->isVisible() && !Form9->isVisible();
        Form2->Show();
        Form2->close(); // the title-bar button: closes Form1, which ends the run
        EXPECT_FALSE(Form2->isVisible());
    });
    EXPECT_EQ(Application->Run(), 0);
    EXPECT_TRUE(onlySplash);
    EXPECT_FALSE(DataModule3->ADOConnection1->Connected());
}

TEST_F(WindowSetTest, QuitMenuItemsEndTheRunThroughTheSplash) {
    for (auto item : {&TForm2::N8, &TForm2::N11}) {
        QTimer::singleShot(0, [item] { (Form2->*item)->trigger(); });
        EXPECT_EQ(Application->Run(), 0);
        EXPECT_TRUE(Application->Terminated());
        Application->DestroyComponents();
        restartApplication();
        CreateWindowSet(*Application);
    }
}

TEST_F(WindowSetTest, BindingsNamedBeforeTheModuleAreCompleted) {
    // Form2 was created before the data module, yet its controls are bound.
    EXPECT_EQ(Form2->DBGrid1->DataSource(), DataModule3->DataSource1);
    EXPECT_EQ(Form4->DBGrid1->DataSource(), DataModule3->DataSource1);
    EXPECT_TRUE(ModuleBindings::pendingNames().empty());
}

TEST_F(WindowSetTest, HelpWindowOpensFromBothMenusAndItsButtonClosesIt) {
    for (QAction* item : {Form2->N9, Form2->N12}) {
        bool shown = false;
        whileModal(Form9, [&] {
            shown = Form9->isVisible() && !Form2->isEnabled();
            click(Form9->BitBtn1);
        });
        item->trigger();
        EXPECT_TRUE(shown);
        EXPECT_FALSE(Form9->isVisible());
        EXPECT_TRUE(Form2->isEnabled());
    }
    EXPECT_TRUE(Form9->Label1->text().startsWith("Для полноценного исользования"));
}

TEST_F(WindowSetTest, ErrorBeforeTheRunLoopGoesToTheFallbackDisplay) {
    ShowFallbackError(EDatabaseError("Broken"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Application Error");
    EXPECT_EQ(boxes[0].icon, QMessageBox::Critical);
    EXPECT_TRUE(boxes[0].text.startsWith("Exception EDatabaseError in module ui_dialogs_test at "));
    EXPECT_TRUE(boxes[0].text.endsWith(".\r\nBroken.\r\n")) << boxes[0].text.toStdString();
}
