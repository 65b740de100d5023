// The program entry: build the main window and run the event loop until the
// window is closed. Whatever error reaches it, from the start, the window's
// making or the loop, ends the program as a failed start does: shown (in a
// message, or as one line on standard error where no display is open) and with
// exit code 1, never through std::terminate.
#include "Forms.h"
#include "Unit1.h"

int main()
{
    try {
        Application->Initialize();
        Application->CreateForm(Form1);
        Application->Run();
    } catch (...) {
        Application->HandleException();
        return 1;  // a failed start is no success
    }
    return 0;
}
