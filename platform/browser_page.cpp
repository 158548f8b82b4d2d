// The platform in a web page: windowed canvas, frames yielded to the browser at each
// present (through asyncify, so the frame loops block as they do natively), and message
// boxes shown in the page instead of modal alerts.
#include "platform/browser.h"

#include <emscripten.h>

#include "platform/win32.h"

namespace {

// Returns to the browser, which shows the finished frame, and resumes on its next
// animation frame.
EM_ASYNC_JS(void, WaitForAnimationFrame, (), {
    await new Promise(resolve => requestAnimationFrame(resolve));
});

// Appends "caption: text" as a line of the page's element "messages" (if it has one).
EM_JS(void, AppendPageMessage, (const char* caption, const char* text), {
    const messages = document.getElementById('messages');
    if (!messages) return;
    const line = document.createElement('div');
    line.textContent = UTF8ToString(caption) + ' ' + UTF8ToString(text);
    messages.appendChild(line);
});

}  // namespace

namespace browser {

void SetUpPage(int width, int height) {
    win32test::SetWindowed(true, width, height);
    // The browser paces frames to the display: no sleeping in SwapBuffers.
    win32test::SetFramePacing(false);
    win32test::SetPresentHook([] { WaitForAnimationFrame(); });
    win32test::RecordMessageBoxes(true);
}

void FinishPage() {
    for (const win32test::RecordedMessageBox& box : win32test::RecordedMessageBoxes())
        AppendPageMessage(box.caption.c_str(), box.text.c_str());
    win32test::ClearRecordedMessageBoxes();
    EM_ASM(document.body.dataset.state = 'done');
}

}  // namespace browser
