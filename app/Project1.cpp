// The program: creates the window set, runs the loop, and shuts down.
#include "app/WindowSet.h"
#include "shell/FallbackErrorDisplay.h"
#include "shell/TApplication.h"

int main(int argc, char** argv) {
    TApplication application(argc, argv);
    try {
        CreateWindowSet(application);
    } catch (const std::exception& error) {
        ShowFallbackError(error);
        return 1;
    }
    const int code = application.Run();
    application.DestroyComponents();
    return code;
}
