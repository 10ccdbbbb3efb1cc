// The entry routine: starts the framework, creates the main window and runs the message loop, all inside one
// handler that shows an escaped exception.
#include "app/Main.h"
#include "platform/ui/Application.h"

int main(int argc, char** argv)
{
    try {
        Application->Initialize(argc, argv);
        Application->CreateForm(&F_main);
        Application->Run();
    } catch (const std::exception& e) {
        Application->ShowException(e);
    }
    return 0;
}
