// krav: the window program. Parses the command line, makes sure no other copy runs, and shows the main
// window.
#include <QApplication>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/tf_main.h"
#include "platform/large_pages.h"
#include "platform/process.h"
#include "platform/single_instance.h"

int main(int argc, char** argv) {
    using namespace krav;
    platform::StartLargeHeap();  // first: the tables of a long log are most of what the program allocates
    const CommandLine commandLine = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));

    // A second copy ends at once and silently, before it opens a window. The lock goes with the process.
    platform::SingleInstance instance;
    if (!instance.Acquire("HY_KRAV")) return 0;

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmark"));

    const std::string programFolder = platform::ProgramFolder(argv[0]);
    TfMain window(commandLine, programFolder, platform::ProgramFile(argv[0]));
    window.show();
    return QApplication::exec();
}
