// The program's main in a web page: sets the page up, hands over to WinMain as the
// Windows loader would, and shows the closing message in the page.
#include "platform/browser.h"
#include "shell/shell.h"

int main() {
    browser::SetUpPage(640, 480);
    char commandLine[] = "";
    WinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWDEFAULT);
    browser::FinishPage();
    return 0;
}
