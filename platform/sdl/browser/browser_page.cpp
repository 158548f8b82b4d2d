// The platform in a web page: frames yielded to the browser (through asyncify, so the
// frame loops block as they do natively), the page's state, and messages shown in the page.
#include "platform/interface/browser.h"

#include <emscripten.h>

namespace {

// Returns to the browser and resumes on its next animation frame; counts the frames
// shown in Module.framesShown (for measuring the frame rate).
EM_ASYNC_JS(void, WaitForAnimationFrame, (), {
    Module['framesShown'] = (Module['framesShown'] || 0) + 1;
    await new Promise(resolve => requestAnimationFrame(resolve));
});

EM_JS(void, WritePageData, (const char* key, const char* value), {
    document.body.dataset[UTF8ToString(key)] = UTF8ToString(value);
});

EM_JS(void, AppendPageMessage, (const char* caption, const char* text), {
    const messages = document.getElementById('messages');
    if (!messages) return;
    const line = document.createElement('div');
    line.textContent = UTF8ToString(caption) + ' ' + UTF8ToString(text);
    messages.appendChild(line);
});

// Hands the file at path to the browser as a download of its name, which gives its type.
EM_JS(void, DownloadFile, (const char* path), {
    const name = UTF8ToString(path);
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([FS.readFile(name)]));
    link.download = name.substring(name.lastIndexOf('/') + 1);
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 10000);
});

}  // namespace

namespace browser {

void YieldFrame(bool paced) {
    if (paced) WaitForAnimationFrame();
    else emscripten_sleep(0);
}

void SetPageData(const char* key, const char* value) { WritePageData(key, value); }

void ShowPageMessage(const char* caption, const char* text) { AppendPageMessage(caption, text); }

void OfferDownload(const char* path) { DownloadFile(path); }

}  // namespace browser
