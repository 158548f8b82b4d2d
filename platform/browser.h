// Running in a web page: the set-up the platform needs there, the return to the browser
// between frames, the page's address parameters and state, and the page's share of the
// show's ending. Only the browser build has these.
#pragma once

#include <string>

namespace browser {

// Makes the canvas the main window (width x height pixels, scaled by the page), turns
// SwapBuffers' own pacing off (the browser paces) and keeps message boxes for the page.
void SetUpPage(int width, int height);
// Returns to the browser, which shows the frame drawn so far, and resumes on its next
// animation frame when `paced`, else as soon as it has run its pending tasks.
void YieldFrame(bool paced);
// The value of the query parameter `name` of the page's address; false when absent.
bool PageParameter(const char* name, std::string* value);
// Sets the page body's data attribute `key` (data-state, data-position, ...), read by the
// page's script and by tests.
void SetPageData(const char* key, const char* value);
// Writes the message boxes kept since SetUpPage into the page's element "messages" and
// marks the page as ended (data-state "done").
void FinishPage();

}  // namespace browser
