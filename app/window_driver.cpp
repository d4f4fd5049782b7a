// krav_window_driver: drives the real window without a user, for the screenshots and the timing of a run.
//
//   krav_window_driver screenshots OUT_DIR GAME_FOLDER [BIG_GAME_FOLDER]
//       starts the window on GAME_FOLDER (as -p would), runs its chosen log and writes one PNG per page into
//       OUT_DIR; with BIG_GAME_FOLDER, also a picture taken while a run over its log is under way.
//   krav_window_driver time GAME_FOLDER
//       starts the window on GAME_FOLDER, presses Process and prints the seconds the run took and the longest
//       time the window's events waited meanwhile.
//
// Run it with QT_QPA_PLATFORM=offscreen where there is no display.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <string>

#include "app/command_line.h"
#include "app/tf_main.h"
#include "platform/process.h"

using namespace krav;

namespace {

// Shows the window and lets its first activation run to the end.
void StartUp(TfMain& window) {
    window.AskYesNo = [](const QString&) { return false; };
    window.OpenReport = [](const std::string&) {};
    window.show();
    window.activateWindow();
    QElapsedTimer waited;
    waited.start();
    while (window.FirstActivation() && waited.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
}

bool Save(QWidget& window, const QString& path) {
    QCoreApplication::processEvents();
    const bool saved = window.grab().save(path, "PNG");
    std::printf("%s %s\n", saved ? "wrote" : "could not write", path.toLocal8Bit().constData());
    return saved;
}

int Screenshots(const QString& outDir, const std::string& gameFolder, const std::string& bigGameFolder,
                const std::string& programFolder) {
    QDir().mkpath(outDir);
    bool ok = true;
    {
        TfMain window(ParseCommandLine({"-p", gameFolder}), programFolder, programFolder + "krav");
        StartUp(window);
        ok = Save(window, outDir + "/00-start.png") && ok;
        window.bProc->click();
        static const char* const kNames[] = {"info",  "skills", "zones",  "factions", "mobs", "vendors",
                                             "items", "combat", "spells", "misc",     "guild"};
        // A chosen row shows its zones in the detail line below the grid.
        window.gMobs->selectRow(0);
        for (int page = 0; page < window.pages->count(); ++page) {
            window.pages->setCurrentIndex(page);
            ok = Save(window,
                      outDir + QString("/%1-%2.png").arg(page + 1, 2, 10, QChar('0')).arg(kNames[page])) &&
                 ok;
        }
        window.bValue->click();
        window.pages->setCurrentIndex(4);
        ok = Save(window, outDir + "/12-mobs-by-value.png") && ok;
    }
    if (!bigGameFolder.empty()) {
        TfMain window(ParseCommandLine({"-p", bigGameFolder}), programFolder, programFolder + "krav");
        StartUp(window);
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, &window, [&] {
            if (!window.session().Busy || window.gGraph->value() < 300) return;
            timer.stop();
            ok = Save(window, outDir + "/13-during-run.png") && ok;
            window.bStop->click();
        });
        timer.start(10);
        window.bProc->click();
    }
    return ok ? 0 : 1;
}

int Time(const std::string& gameFolder, const std::string& programFolder) {
    TfMain window(ParseCommandLine({"-p", gameFolder}), programFolder, programFolder + "krav");
    StartUp(window);
    // A timer that wants to run every 5 ms shows how long the window left its events waiting at most.
    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, &window, [&] {
        if (sinceTick.isValid()) longestGap = std::max(longestGap, sinceTick.elapsed());
        sinceTick.restart();
    });
    ticker.start(5);
    QElapsedTimer elapsed;
    elapsed.start();
    window.bProc->click();
    const double seconds = static_cast<double>(elapsed.nsecsElapsed()) / 1e9;
    std::printf("%.3f seconds, events waited at most %lld ms\n", seconds, static_cast<long long>(longestGap));
    return window.session().RunSucceeded() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmark"));
    const std::string programFolder = platform::ProgramFolder(argv[0]);
    const QStringList args = QApplication::arguments();
    if (args.size() >= 4 && args[1] == "screenshots") {
        return Screenshots(args[2], argv[3], args.size() >= 5 ? std::string(argv[4]) : std::string(),
                           programFolder);
    }
    if (args.size() == 3 && args[1] == "time") return Time(argv[2], programFolder);
    std::fputs(
        "usage: krav_window_driver screenshots OUT_DIR GAME_FOLDER [BIG_GAME_FOLDER]\n"
        "       krav_window_driver time GAME_FOLDER\n",
        stderr);
    return 2;
}
