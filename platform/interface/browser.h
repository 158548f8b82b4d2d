// Running in a web page: the return to the browser between frames and the page's state
// and messages. Only the browser build has these.
#pragma once

namespace browser {

// Returns to the browser, which shows the frame drawn so far, and resumes on its next
// animation frame when `paced`, else as soon as it has run its pending tasks.
void YieldFrame(bool paced);
// Sets the page body's data attribute `key` (data-state, data-position, ...), read by the
// page's script and by tests.
void SetPageData(const char* key, const char* value);
// Appends "caption text" as a line of the page's element "messages", at once.
void ShowPageMessage(const char* caption, const char* text);
// Offers the file at path (in the program's own file system) to the user as a download.
void OfferDownload(const char* path);

}  // namespace browser
