#include "shell/Texts.h"

#include <gtest/gtest.h>

struct TextCase {
    const char* input;
    const char* expected;
};

class TitleRule : public testing::TestWithParam<TextCase> {};

TEST_P(TitleRule, TakesFileNameUpToFirstPeriodWithTheRestInLowerCase) {
    EXPECT_EQ(applicationTitleFromPath(QString::fromUtf8(GetParam().input)),
              QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Paths, TitleRule,
                         testing::Values(TextCase{"/usr/local/bin/Project1", "Project1"},
                                         TextCase{"/opt/zemt/PROJECT1.EXE", "Project1"},
                                         TextCase{"/home/op/dorm.app.exe", "dorm"},
                                         TextCase{"/dir.with.dots/Project1", "Project1"},
                                         TextCase{"Project1", "Project1"},
                                         TextCase{"/x/ОБЩЕЖИТИЕ.bin", "Общежитие"},
                                         TextCase{"/x/.hidden", ""}),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

class PeriodRule : public testing::TestWithParam<TextCase> {};

TEST_P(PeriodRule, AddsPeriodOnlyAfterCharactersAboveThePeriod) {
    EXPECT_EQ(withClosingPeriod(QString::fromUtf8(GetParam().input)),
              QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Messages, PeriodRule,
    testing::Values(TextCase{"", ""}, TextCase{"Done.", "Done."}, TextCase{"Stop!", "Stop!"},
                    TextCase{"Why?", "Why?."}, TextCase{"Field", "Field."},
                    TextCase{"value 42", "value 42."}, TextCase{"key:", "key:."},
                    TextCase{"(note)", "(note)"}, TextCase{"'abc'", "'abc'"},
                    TextCase{"say \"x\"", "say \"x\""}, TextCase{"a,", "a,"}, TextCase{"a-", "a-"},
                    TextCase{"trailing ", "trailing "}, TextCase{"a/", "a/."},
                    TextCase{"Нет свободных мест", "Нет свободных мест."}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(FallbackText, NamesClassModuleAddressAndAddsPeriodUnlessPresent) {
    const void* address = reinterpret_cast<const void*>(quintptr(0x1234abcd));
    EXPECT_EQ(fallbackErrorText("EDatabaseError", "Project1", address, "Broken"),
              "Exception EDatabaseError in module Project1 at 1234ABCD.\r\nBroken.\r\n");
    EXPECT_EQ(fallbackErrorText("Exception", "Project1", address, "Done."),
              "Exception Exception in module Project1 at 1234ABCD.\r\nDone.\r\n");
    EXPECT_EQ(fallbackErrorText("Exception", "Project1", address, ""),
              "Exception Exception in module Project1 at 1234ABCD.\r\n\r\n");
}
