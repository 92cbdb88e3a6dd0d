// The navigator bar: enable rules through the data set's states, Press
// button, the delete confirmation, the layout rule and clicks.
#include "controls/TDBNavigator.h"
#include "data/values/Exceptions.h"
#include "tests/controls/ControlsFixture.h"

#include <QAbstractButton>
#include <QDeadlineTimer>
#include <QTest>
#include <gtest/gtest.h>

using namespace controlstest;

namespace {

/// Enabled buttons as a string of ten '1'/'0' in index order.
std::string enabledPattern(const TDBNavigator& bar) {
    std::string pattern;
    for (int i = 0; i < kNavigatorButtonCount; ++i)
        pattern += bar.button(static_cast<TNavigateBtn>(i))->isEnabled() ? '1' : '0';
    return pattern;
}

struct NavigatorFixture : testing::Test {
    StudentData data{3};
    std::unique_ptr<QWidget> window = makeShownWindow();
    TDBNavigator* bar = new TDBNavigator(window.get());

    void SetUp() override {
        bar->setGeometry(0, 0, 240, 25);
        bar->setDataSource(&data.source);
        bar->show();
    }
};

} // namespace

TEST_F(NavigatorFixture, EnableTableFollowsTheDataSet) {
    //                                    First Prior Next Last Ins Del Edit Post Canc Refr
    EXPECT_EQ(enabledPattern(*bar), "0000000000") << "closed";

    data.setWhere("where 1=0");
    data.query.Open();
    EXPECT_EQ(enabledPattern(*bar), "0000101001") << "empty";
    data.query.Close();

    data.setWhere("where Id_zach=101");
    data.query.Open();
    EXPECT_EQ(enabledPattern(*bar), "0011111001") << "single row, just opened";
    bar->BtnClick(nbNext);
    EXPECT_EQ(data.query.RecNo(), 1);
    EXPECT_EQ(enabledPattern(*bar), "1100111001") << "single row after nbNext";
    data.query.Close();

    data.setWhere("");
    data.query.Open();
    EXPECT_EQ(enabledPattern(*bar), "0011111001") << "first";
    bar->BtnClick(nbNext);
    bar->BtnClick(nbPrior);
    EXPECT_EQ(enabledPattern(*bar), "1111111001") << "back on the first row by nbPrior";
    bar->BtnClick(nbPrior);
    EXPECT_EQ(enabledPattern(*bar), "0011111001") << "nbPrior once more";
    bar->BtnClick(nbLast);
    EXPECT_EQ(enabledPattern(*bar), "1100111001") << "last";

    bar->BtnClick(nbEdit);
    EXPECT_EQ(enabledPattern(*bar), "1100110111") << "editing";
    bar->BtnClick(nbCancel);
    EXPECT_EQ(enabledPattern(*bar), "1100111001") << "after nbCancel";
    bar->BtnClick(nbInsert);
    EXPECT_EQ(data.query.State(), TDataSetState::dsInsert);
    EXPECT_EQ(enabledPattern(*bar).substr(6), "0111") << "inserting";

    bar->setEnabled(false);
    EXPECT_EQ(enabledPattern(*bar), "0000000000") << "bar disabled";
    bar->setEnabled(true);
    EXPECT_EQ(enabledPattern(*bar).substr(6), "0111");
    data.query.Close();
    EXPECT_EQ(enabledPattern(*bar), "0000000000") << "closed again";
}

TEST_F(NavigatorFixture, DeletePressedFromCodeOnClosedAndEmptyDataSets) {
    BoxAnswers boxes;
    bar->setVisibleButtons(QStringLiteral("nbDelete"));
    bar->hide(); // Press button ignores whether the bar or the button shows
    bar->BtnClick(nbDelete);
    EXPECT_TRUE(boxes.boxes().empty());

    data.setWhere("where 1=0");
    data.query.Open();
    try {
        bar->BtnClick(nbDelete);
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "ADOQuery1: Cannot perform this operation on an empty dataset");
    }
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, "Delete record?");
    EXPECT_EQ(boxes.boxes()[0].caption, "Confirm");
}

TEST_F(NavigatorFixture, DeleteAsksAndCancelLeavesTheRecord) {
    BoxAnswers boxes(QMessageBox::Cancel);
    data.query.Open();
    bar->BtnClick(nbNext);
    bar->BtnClick(nbDelete);
    EXPECT_EQ(data.databaseRows(), 3);
    EXPECT_EQ(data.query.RecNo(), 2);
    boxes.answerWith(QMessageBox::Ok);
    QTest::mouseClick(bar->button(nbDelete), Qt::LeftButton);
    EXPECT_EQ(boxes.boxes().size(), 2u);
    EXPECT_EQ(data.databaseRows(), 2);
    EXPECT_EQ(data.query.RecordCount(), 2);
}

TEST_F(NavigatorFixture, ClicksActOnlyOnEnabledButtonsAndErrorsGoToTheErrorDisplay) {
    BoxAnswers boxes;
    data.query.Open();
    QTest::mouseClick(bar->button(nbPrior), Qt::LeftButton); // disabled at the first row
    EXPECT_EQ(data.query.RecNo(), 1);
    QTest::mouseClick(bar->button(nbLast), Qt::LeftButton);
    EXPECT_EQ(data.query.RecNo(), 3);

    // A post that the database refuses is shown; the row stays pending.
    QTest::mouseClick(bar->button(nbEdit), Qt::LeftButton);
    data.query.FieldByName("Kurs")->setAsInteger(9);
    QTest::mouseClick(bar->button(nbPost), Qt::LeftButton);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].icon, QMessageBox::Critical);
    EXPECT_EQ(data.query.State(), TDataSetState::dsEdit);
}

TEST(NavigatorLayout, ShownButtonsShareTheWidthAndTheBarIsCutToAMultiple) {
    struct Case {
        const char* buttons;
        int width;
        int each;
    } cases[] = {
        {"nbFirst,nbPrior,nbNext,nbLast,nbEdit,nbPost,nbCancel", 231, 33},
        {"nbEdit,nbPost,nbCancel,nbRefresh", 216, 54},
        {"", 240, 24},
        {"nbDelete", 137, 137},
        {"nbInsert,nbRefresh", 204, 102},
        {"nbInsert,nbRefresh", 205, 102}, // cut down to 204
        {"", 100, 20},                    // never narrower than 20 per button
    };
    for (const Case& c : cases) {
        TDBNavigator bar;
        bar.setVisibleButtons(QString::fromLatin1(c.buttons));
        bar.resize(c.width, 10);
        bar.show();
        const int shown = c.buttons[0] ? int(QString::fromLatin1(c.buttons).count(',')) + 1 : 10;
        EXPECT_EQ(bar.width(), c.each * shown) << c.buttons << " " << c.width;
        EXPECT_EQ(bar.height(), 18);
        int x = 0;
        for (int i = 0; i < kNavigatorButtonCount; ++i) {
            const auto kind = static_cast<TNavigateBtn>(i);
            if (!bar.isButtonShown(kind))
                continue;
            EXPECT_EQ(bar.button(kind)->geometry(), QRect(x, 0, c.each, 18)) << c.buttons;
            x += c.each;
        }
    }
}

TEST(NavigatorLayout, ButtonsCarryNoTooltipsAndPriorAndNextRepeat) {
    TDBNavigator bar;
    for (int i = 0; i < kNavigatorButtonCount; ++i) {
        QAbstractButton* b = bar.button(static_cast<TNavigateBtn>(i));
        EXPECT_TRUE(b->toolTip().isEmpty());
        const bool repeats = i == nbPrior || i == nbNext;
        EXPECT_EQ(b->autoRepeat(), repeats);
        if (repeats) {
            EXPECT_EQ(b->autoRepeatDelay(), 400);
            EXPECT_EQ(b->autoRepeatInterval(), 100);
        }
    }
}

TEST_F(NavigatorFixture, NextRepeatsWhileHeldAndOnceMoreOnRelease) {
    StudentData many(40);
    bar->setDataSource(&many.source);
    many.query.Open();
    QAbstractButton* next = bar->button(nbNext);
    QTest::mousePress(next, Qt::LeftButton);
    EXPECT_EQ(many.query.RecNo(), 1); // nothing on the press itself
    QDeadlineTimer patience(10000);
    while (many.query.RecNo() < 4 && !patience.hasExpired())
        QTest::qWait(20);
    ASSERT_GE(many.query.RecNo(), 4);
    const int held = many.query.RecNo();
    QTest::mouseRelease(next, Qt::LeftButton);
    EXPECT_EQ(many.query.RecNo(), held + 1);
    bar->setDataSource(nullptr);
}
