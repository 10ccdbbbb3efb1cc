// The entry routine: starts the framework (without a display it ends there with one line), enters the data
// folder named on the command line or the current one (offering a new data folder where the system's tables
// are missing), creates the main window and runs the message loop, all inside one handler that shows an
// escaped exception.
#include <QCoreApplication>

#include <cstdio>

#include "app/DataFolderStart.h"
#include "app/Main.h"
#include "platform/ui/Application.h"

int main(int argc, char** argv)
{
    try {
        Application->Title = ProgramTitle;
        Application->Initialize(argc, argv);  // takes Qt's own arguments out of argv
        if (argc > 2) {
            std::fprintf(stderr, "usage: %s [DATA FOLDER]\n", argv[0]);
            return 2;
        }
        switch (EnterDataFolder(argc > 1 ? argv[1] : "",
                                ShippedDataFolder(QCoreApplication::applicationDirPath().toStdString()))) {
        case TStartFolder::Quit: return 0;
        case TStartFolder::Failed: return 1;
        case TStartFolder::Run: break;
        }
        Application->CreateForm(&F_main);
        Application->Run();
    } catch (const std::exception& e) {
        Application->ShowException(e);
    }
    return 0;
}
