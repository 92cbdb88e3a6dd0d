// main() of the window tests: one application object at a time, replaced by
// the fixture after a test that ended its run.
#include "shell/TApplication.h"
#include "tests/ui/TestApplication.h"

#include <gtest/gtest.h>
#include <memory>

namespace {
int* savedArgc = nullptr;
char** savedArgv = nullptr;
std::unique_ptr<TApplication> application;
} // namespace

void restartApplication() {
    application.reset();
    application = std::make_unique<TApplication>(*savedArgc, savedArgv);
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    savedArgc = &argc;
    savedArgv = argv;
    restartApplication();
    const int result = RUN_ALL_TESTS();
    application.reset();
    return result;
}
