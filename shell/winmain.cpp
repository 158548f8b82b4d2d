// Process entry: the main window, the whole show, then the closing message.
#include "app/app.h"
#include "shell/sequence.h"

int WinMain(HINSTANCE instance, HINSTANCE, char*, int showCommand) {
    ::instance = instance;
    ::showCommand = showCommand;
    if (!CreateMainWindow(instance, showCommand)) return 0;
    RunDemo(640, 480, 16);
    ShowSystemMessage("Done!");
    return 0;
}

int WinMainRuns(HINSTANCE instance, int showCommand, const std::function<int()>& nextRun) {
    ::instance = instance;
    ::showCommand = showCommand;
    if (!CreateMainWindow(instance, showCommand)) return 0;
    if (StartShow(640, 480, 16)) {
        PlayShow();
        for (int order = nextRun(); order >= 0; order = nextRun()) {
            RestartShow(order);
            PlayShow();
        }
    }
    TearDownShow();
    ShowSystemMessage("Done!");
    return 0;
}
