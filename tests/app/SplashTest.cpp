// The splash window driven tick by tick (no sleeping), its layout when
// resized, and the photograph it decodes.
#include "app/Unit1.h"
#include "shell/JpegImage.h"
#include "shell/TApplication.h"
#include "tests/support/Catalogs.h"
#include "ui/main/Unit2.h"

#include <QDir>
#include <QEvent>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>

namespace {

QByteArray splashFile() {
    return QByteArray::fromStdString(testsupport::readSourceFile("resources/splash.jpg"));
}

/// Counts the times a window is shown as a new window (not just raised).
class ShowCounter : public QObject {
public:
    int shows = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show)
            ++shows;
        return false;
    }
};

class SplashTest : public ::testing::Test {
protected:
    void SetUp() override {
        SplashStage = 0;
        Form2 = new TForm2();
        Form1 = new TForm1();
        Form2->installEventFilter(&form2Shows);
    }
    void TearDown() override {
        delete Form1;
        delete Form2;
        Form1 = nullptr;
        Form2 = nullptr;
    }
    ShowCounter form2Shows;
};

TEST_F(SplashTest, TickTableFromShowToTheLastTick) {
    Form1->Timer1Timer(); // before FormShow: stage 0, nothing happens
    EXPECT_EQ(Form1->ProgressBar1->value(), 0);
    EXPECT_EQ(Form1->Timer1->interval(), 1000);
    EXPECT_TRUE(Form1->Timer1->isActive());

    Form1->Show();
    EXPECT_EQ(SplashStage, 1.0);
    EXPECT_EQ(Form1->Timer1->interval(), 10);

    // Position, stage and visibility after the given ticks.
    struct After {
        int position;
        double stage;
        bool form2Visible;
    };
    const std::map<int, After> expected = {
        {1, {10, 1, false}}, {9, {90, 1, false}},  {10, {30, 2, false}}, {11, {60, 2, false}},
        {12, {2, 3, false}}, {55, {88, 3, false}}, {56, {1, 4, false}},  {144, {89, 4, false}},
        {145, {5, 5, true}}, {146, {10, 5, true}}, {163, {95, 5, true}}, {164, {100, 5, true}},
    };
    int firstShownAt = 0;
    for (int tick = 1; tick <= 164; ++tick) {
        ASSERT_TRUE(Form1->Timer1->isActive()) << "the timer stopped before tick " << tick;
        Form1->Timer1Timer();
        if (!firstShownAt && Form2->isVisible())
            firstShownAt = tick;
        if (tick == 40 && !qEnvironmentVariable("ZEMT_SCREENSHOT_DIR").isEmpty())
            Form1->grab().save(
                QDir(qEnvironmentVariable("ZEMT_SCREENSHOT_DIR")).filePath("splash.png"));
        if (auto it = expected.find(tick); it != expected.end()) {
            SCOPED_TRACE(tick);
            EXPECT_EQ(Form1->ProgressBar1->value(), it->second.position);
            EXPECT_EQ(SplashStage, it->second.stage);
            EXPECT_EQ(Form2->isVisible(), it->second.form2Visible);
            EXPECT_EQ(Form1->isVisible(), !it->second.form2Visible);
        }
    }
    EXPECT_EQ(firstShownAt, 145);
    EXPECT_EQ(form2Shows.shows, 1) << "ticks 146 to 164 only bring Form2 to the front";
    EXPECT_FALSE(Form1->Timer1->isActive()) << "no tick follows tick 164";
}

TEST_F(SplashTest, ResizingStretchesThePictureAndLeavesTheBar) {
    Form1->Show();
    const QRect bar = Form1->ProgressBar1->geometry();
    EXPECT_EQ(bar, QRect(24, 24, 633, 16));
    ASSERT_FALSE(Form1->Image1->pixmap().isNull());
    EXPECT_EQ(Form1->Image1->pixmap().size(), QSize(604, 453));
    EXPECT_TRUE(Form1->Image1->hasScaledContents());

    for (const QSize size : {QSize(900, 300), QSize(300, 700)}) {
        Form1->resize(size);
        EXPECT_EQ(Form1->Image1->geometry(), Form1->rect());
        EXPECT_EQ(Form1->ProgressBar1->geometry(), bar);
    }
    // The bar lies over the photograph.
    EXPECT_GT(Form1->children().indexOf(Form1->ProgressBar1),
              Form1->children().indexOf(Form1->Image1));
}

TEST_F(SplashTest, APictureThatCannotBeDecodedLeavesTheSplashWithoutIt) {
    QTemporaryDir dir;
    Form1->loadPicture(dir.filePath("no-such-picture.jpg"));
    EXPECT_TRUE(Form1->Image1->pixmap().isNull());
    Form1->Show();
    EXPECT_TRUE(Form1->isVisible());
}

TEST(SplashPicture, IsABaselineJfifOf604By453) {
    const QByteArray bytes = splashFile();
    EXPECT_TRUE(bytes.startsWith(QByteArray("\xFF\xD8\xFF\xE0", 4)));
    EXPECT_EQ(bytes.mid(6, 5), QByteArray("JFIF\0", 5));
    EXPECT_TRUE(bytes.contains(QByteArray("\xFF\xC0", 2))) << "baseline frame";
    EXPECT_FALSE(bytes.contains(QByteArray("\xFF\xC2", 2))) << "no progressive frame";

    const QImage picture = decodeJpeg(bytes);
    ASSERT_EQ(picture.size(), QSize(604, 453));
    const QColor sky = picture.pixelColor(5, 5);
    EXPECT_GT(sky.blue(), sky.red() + 60) << "a day sky at the top";
}

TEST(SplashPicture, IsCompiledInAsTheCommittedJpegBytes) {
    QFile resource(QStringLiteral(":/splash.jpg"));
    ASSERT_TRUE(resource.open(QIODevice::ReadOnly));
    EXPECT_EQ(resource.readAll(), splashFile());
}

TEST(SplashPicture, DamagedDataGivesANullImage) {
    const QByteArray good = splashFile();
    ASSERT_FALSE(decodeJpeg(good).isNull());
    QByteArray scrambled = good;
    for (qsizetype i = 600; i < scrambled.size(); i += 97)
        scrambled[i] = static_cast<char>(scrambled[i] ^ 0x5A);
    const std::map<std::string, QByteArray> cases = {
        {"empty", QByteArray()},
        {"not a JPEG", QByteArray("GIF89a, certainly not a JPEG stream")},
        {"header only", good.left(300)},
        {"cut in the middle", good.left(good.size() / 2)},
        {"scrambled entropy data", scrambled},
    };
    for (const auto& [name, data] : cases)
        EXPECT_TRUE(decodeJpeg(data).isNull()) << name;

    QTemporaryDir dir;
    EXPECT_TRUE(decodeJpegFile(dir.filePath("missing.jpg")).isNull());
    EXPECT_TRUE(decodeJpegFile(dir.path()).isNull()) << "a folder";
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    TApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
