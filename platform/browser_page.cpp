// The platform in a web page: windowed canvas, frames yielded to the browser (through
// asyncify, so the frame loops block as they do natively), the page's address and state,
// and message boxes shown in the page instead of modal alerts.
#include "platform/browser.h"

#include <emscripten.h>

#include "platform/win32.h"

namespace {

// Returns to the browser and resumes on its next animation frame; counts the frames
// shown in Module.framesShown (for measuring the frame rate).
EM_ASYNC_JS(void, WaitForAnimationFrame, (), {
    Module['framesShown'] = (Module['framesShown'] || 0) + 1;
    await new Promise(resolve => requestAnimationFrame(resolve));
});

// Copies the query parameter into out (capacity bytes, terminated); its length in bytes,
// or -1 when absent.
EM_JS(int, ReadPageParameter, (const char* name, char* out, int capacity), {
    const value = new URLSearchParams(location.search).get(UTF8ToString(name));
    if (value === null) return -1;
    stringToUTF8(value, out, capacity);
    return lengthBytesUTF8(value);
});

EM_JS(void, WritePageData, (const char* key, const char* value), {
    document.body.dataset[UTF8ToString(key)] = UTF8ToString(value);
});

// Appends "caption text" as a line of the page's element "messages" (if it has one).
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
    win32test::SetFramePacing(false);
    win32test::RecordMessageBoxes(true);
}

void YieldFrame(bool paced) {
    if (paced) WaitForAnimationFrame();
    else emscripten_sleep(0);
}

bool PageParameter(const char* name, std::string* value) {
    char text[256];
    const int length = ReadPageParameter(name, text, sizeof text);
    if (length < 0) return false;
    *value = text;
    return true;
}

void SetPageData(const char* key, const char* value) { WritePageData(key, value); }

void FinishPage() {
    for (const win32test::RecordedMessageBox& box : win32test::RecordedMessageBoxes())
        AppendPageMessage(box.caption.c_str(), box.text.c_str());
    win32test::ClearRecordedMessageBoxes();
    WritePageData("state", "done");
}

}  // namespace browser
