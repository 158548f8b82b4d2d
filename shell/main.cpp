// The program's main: hands over to WinMain as the Windows loader would.
#include "shell/shell.h"

int main(int, char**) {
    char commandLine[] = "";
    return WinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWDEFAULT);
}
