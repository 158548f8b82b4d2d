// Running in a web page: the set-up the platform needs there and the page's share of the
// show's ending. Only the browser build has these.
#pragma once

namespace browser {

// Makes the canvas the main window (width x height pixels, scaled by the page), hands
// every presented frame to the browser and waits for its next animation frame (the show's
// blocking frame loops stay as they are), and keeps message boxes for the page.
void SetUpPage(int width, int height);
// Writes the message boxes kept since SetUpPage into the page's element "messages" and
// marks the page as ended (its body's data-state becomes "done").
void FinishPage();

}  // namespace browser
