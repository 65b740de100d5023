// The program entry: build the main window, run the event loop until the window
// is closed, and show any toolkit error that escapes start-up.
#include "Forms.h"
#include "Unit1.h"

int main()
{
    try {
        Application->Initialize();
        Application->CreateForm(Form1);
        Application->Run();
    } catch (const Sysutils::Exception& error) {
        Application->ShowException(error);
        return 1;  // a failed start is no success
    }
    return 0;
}
