// The message pump every frame loop calls: drains the queue without waiting and reports
// a quit, which stays reported for the rest of the run.
#include "app/app.h"

void ForgetQuit() { quitSeen = 0; }

int PumpMessages() {
    if (quitSeen) return 1;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quitSeen = 1;
            return 1;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
