// The shared window rules, driven on real top-level windows under the
// offscreen platform.
#include "data/values/Exceptions.h"
#include "shell/MessageBoxes.h"
#include "shell/TApplication.h"
#include "shell/TForm.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class Dialog : public TForm {
public:
    Dialog() {
        button = new QPushButton(QStringLiteral("Run"), this);
        QObject::connect(button, &QPushButton::clicked, this, guarded([this] {
                             ++clicks;
                             throw EDatabaseError(
                                 "ADOQuery1: Cannot perform this operation on a closed dataset");
                         }));
    }
    QPushButton* button;
    int clicks = 0;
    int closes = 0;

protected:
    void FormClose(TCloseAction& action) override {
        ++closes;
        EXPECT_EQ(action, TCloseAction::caHide);
    }
};

struct RecordedBoxes {
    std::vector<MessageBoxRequest> boxes;
    RecordedBoxes() {
        setMessageBoxHook([this](const MessageBoxRequest& r) {
            boxes.push_back(r);
            return QMessageBox::Ok;
        });
    }
    ~RecordedBoxes() { setMessageBoxHook({}); }
};

Dialog* MainDialog = nullptr;
Dialog* OtherDialog = nullptr;

} // namespace

TEST(WindowRules, ShowingAVisibleWindowModallyFails) {
    Dialog d;
    d.Show();
    try {
        d.ShowModal();
        FAIL() << "no error";
    } catch (const EInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "Cannot make a visible window modal");
    }
}

TEST(WindowRules, ErrorInModalHandlerIsShownAndDialogStaysModal) {
    RecordedBoxes recorded;
    Dialog owner;
    owner.Show();
    Dialog dialog;
    bool stillModal = false, ownerDisabled = false;
    QTimer::singleShot(0, [&] {
        QTest::mouseClick(dialog.button, Qt::LeftButton);
        stillModal = dialog.isVisible() && dialog.IsModal();
        ownerDisabled = !owner.isEnabled();
        dialog.Close();
    });
    EXPECT_EQ(dialog.ShowModal(), mrCancel);
    EXPECT_EQ(dialog.clicks, 1);
    EXPECT_TRUE(stillModal);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(owner.isEnabled());
    EXPECT_EQ(dialog.closes, 1);
    ASSERT_EQ(recorded.boxes.size(), 1u);
    EXPECT_EQ(recorded.boxes[0].text,
              "ADOQuery1: Cannot perform this operation on a closed dataset.");
    EXPECT_EQ(recorded.boxes[0].caption, Application->Title());
    EXPECT_EQ(recorded.boxes[0].icon, QMessageBox::Critical);
}

struct Unbuildable : TForm {
    Unbuildable() { throw EInvalidOperation("cannot build"); }
};
Unbuildable* Broken = nullptr;

TEST(WindowRules, VariableIsClearedWhenConstructionFails) {
    EXPECT_THROW(Application->CreateForm(Broken), EInvalidOperation);
    EXPECT_EQ(Broken, nullptr);
    EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST(WindowRules, AbortShowsNothing) {
    RecordedBoxes recorded;
    Application->HandleException(EAbort(""));
    EXPECT_TRUE(recorded.boxes.empty());
}

TEST(WindowRules, ClosingAWindowHidesItAndClosingTheMainFormEndsTheRun) {
    // Must run last in this process: it ends the run loop of the one application.
    Application->CreateForm(MainDialog);
    Application->CreateForm(OtherDialog);
    ASSERT_EQ(Application->MainForm(), MainDialog);
    QTimer::singleShot(0, [] {
        OtherDialog->Show();
        OtherDialog->close(); // the title-bar button
        EXPECT_FALSE(OtherDialog->isVisible());
        EXPECT_FALSE(Application->Terminated());
        MainDialog->Hide(); // hidden, as after the splash
        MainDialog->Close();
    });
    EXPECT_EQ(Application->Run(), 0);
    EXPECT_TRUE(Application->Terminated());
    Application->DestroyComponents();
    EXPECT_EQ(MainDialog, nullptr);
    EXPECT_EQ(OtherDialog, nullptr);
    EXPECT_EQ(Application->MainForm(), nullptr);
    EXPECT_TRUE(Application->Terminated()); // an ended run stays ended
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    TApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
