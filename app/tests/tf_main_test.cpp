// The window driven as a user drives it, on the offscreen platform: start-up on a game folder, runs with
// their control states, Stop, the close query, sorting, the detail lines, the command line and the single
// instance.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/stat_table_model.h"
#include "app/tf_main.h"
#include "platform/single_instance.h"

using namespace krav;

namespace {

QString ProgramFolder() {
    return QFileInfo(QStringLiteral(KRAV_WINDOW_PATH)).absolutePath() + QLatin1Char('/');
}

bool CopyFolder(const QString& from, const QString& to) {
    QDir().mkpath(to);
    const QDir source(from);
    for (const QFileInfo& entry : source.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString target = to + QLatin1Char('/') + entry.fileName();
        if (entry.isDir() ? !CopyFolder(entry.filePath(), target) : !QFile::copy(entry.filePath(), target))
            return false;
    }
    return true;
}

QStringList StatusLines(const TfMain& window) {
    QStringList lines;
    for (int i = 0; i < window.cStatus->count(); ++i)
        lines << window.cStatus->item(i)->text();
    return lines;
}

// What a grid shows in one of its cells (row 0 is the first data row).
QString Shown(QTableView* grid, int row, int column) {
    return grid->model()->data(grid->model()->index(row, column)).toString();
}

// The control states a user sees, as one text, so a failed comparison shows every difference at once.
QString ControlStates(const TfMain& w) {
    auto state = [](const QWidget* c) {
        return QString(c->isEnabled() ? "e" : "d") + (c->isVisibleTo(c->window()) ? "v" : "h");
    };
    return QStringList{"cLogs:" + state(w.cLogs),         "bProc:" + state(w.bProc),
                       "bStop:" + state(w.bStop),         "bOpts:" + state(w.bOpts),
                       "bExit:" + state(w.bExit),         "bReport:" + state(w.bReport),
                       "xReadOnly:" + state(w.xReadOnly), "xCompatible:" + state(w.xCompatible),
                       "xSmallest:" + state(w.xSmallest), "bText:" + state(w.bText),
                       "bValue:" + state(w.bValue),       "gGraph:" + state(w.gGraph),
                       "gStatus:" + state(w.gStatus)}
        .join(' ');
}

const QString kIdle =
    "cLogs:ev bProc:ev bStop:dh bOpts:ev bExit:ev bReport:%1 xReadOnly:ev xCompatible:dv xSmallest:dv "
    "bText:ev bValue:ev gGraph:eh gStatus:ev";
const QString kRunning =
    "cLogs:dv bProc:dh bStop:ev bOpts:dv bExit:dv bReport:dv xReadOnly:dv xCompatible:dv xSmallest:dv "
    "bText:dv bValue:dv gGraph:ev gStatus:eh";

// Runs `action` once, as soon as a run of the window is in its read loop.
void WhenReading(TfMain& w, std::function<void()> action) {
    auto* timer = new QTimer(&w);
    QObject::connect(timer, &QTimer::timeout, &w, [timer, &w, action] {
        if (!w.session().Busy || !w.gGraph->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        action();
    });
    timer->start(5);
}

}  // namespace

class TfMainTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> home_;
    QString game_;
    std::unique_ptr<TfMain> window_;
    QStringList questions_;
    bool answer_ = true;
    std::vector<std::string> opened_;

    // A fresh game folder (a copy of the sample) and registry store, and a window started with -p on it,
    // shown and through its first activation.
    TfMain& Start(const std::vector<std::string>& extraLog = {}) {
        home_ = std::make_unique<QTemporaryDir>();
        qputenv("KRAV_REGISTRY_DIR", (home_->path() + "/registry").toLocal8Bit());
        qputenv("HOME", home_->path().toLocal8Bit());
        game_ = home_->path() + "/EverQuest";
        if (!CopyFolder(QStringLiteral(KRAV_SOURCE_DIR "/examples/EverQuest"), game_)) qFatal("copy failed");
        if (!extraLog.empty()) {
            QFile log(game_ + "/logs/eqlog_Soandso_tunare.txt");
            if (!log.open(QIODevice::Append)) qFatal("cannot append");
            for (const std::string& line : extraLog)
                log.write((line + "\r\n").c_str());
        }
        window_ =
            std::make_unique<TfMain>(ParseCommandLine({"-p", game_.toStdString()}),
                                     ProgramFolder().toStdString(), ProgramFolder().toStdString() + "krav");
        questions_.clear();
        opened_.clear();
        window_->AskYesNo = [this](const QString& text) {
            questions_ << text;
            return answer_;
        };
        window_->OpenReport = [this](const std::string& path) { opened_.push_back(path); };
        window_->show();
        window_->activateWindow();
        if (!QTest::qWaitForWindowActive(window_.get())) qFatal("window not activated");
        if (!QTest::qWaitFor([this] { return !window_->FirstActivation(); })) qFatal("no first activation");
        return *window_;
    }

    // A log big enough that a run takes a while: the sample's lines many times over.
    static std::vector<std::string> Repeated(int times) {
        QFile sample(QStringLiteral(KRAV_SOURCE_DIR "/examples/EverQuest/logs/eqlog_Soandso_tunare.txt"));
        if (!sample.open(QIODevice::ReadOnly)) qFatal("no sample");
        const QList<QByteArray> lines = sample.readAll().split('\n');
        std::vector<std::string> result;
        for (int i = 0; i < times; ++i) {
            for (const QByteArray& line : lines) {
                if (!line.trimmed().isEmpty()) result.push_back(line.trimmed().toStdString());
            }
        }
        return result;
    }

private slots:
    void commandLineTable_data();
    void commandLineTable();
    void startUpAndWholeRun();
    void stopMidRunWithEscape();
    void closeQueryBothAnswers();
    void sortsAndDetailLines();
    void modeHandlerRewritesTheStatusList();
    void missingLogsAreStatusLines();
    void hundredThousandRowsStayFast();
    void secondInstanceEndsSilently();
    void cleanup() { window_.reset(); }
};

void TfMainTest::commandLineTable_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QStringList{} << 0 << "";
    QTest::newRow("blanks only") << QStringList{"  "} << 0 << "";
    QTest::newRow("-t") << QStringList{"-t"} << 2 << "";
    QTest::newRow("/T") << QStringList{"/T"} << 2 << "";
    QTest::newRow("-tx") << QStringList{"-tx"} << 255 << "-tx";
    QTest::newRow("-t word") << QStringList{"-t", "word"} << 255 << "-t word";
    QTest::newRow("/P folder") << QStringList{"/P", "D:\\Games\\EQ"} << 3 << "D:\\Games\\EQ";
    QTest::newRow("-p quoted with blanks")
        << QStringList{"-p", "D:\\My Games\\EQ"} << 3 << "D:\\My Games\\EQ";
    QTest::newRow("-p unquoted words") << QStringList{"-p", "D:\\My", "Games\\EQ"} << 3 << "D:\\My Games\\EQ";
    QTest::newRow("-p alone") << QStringList{"-p"} << 255 << "-p";
    QTest::newRow("-?") << QStringList{"-?"} << 1 << "";
    QTest::newRow("/?") << QStringList{"/?"} << 1 << "";
    QTest::newRow("other") << QStringList{"hello", "there"} << 255 << "hello there";
    QTest::newRow("-x") << QStringList{"-x"} << 255 << "-x";
}

void TfMainTest::commandLineTable() {
    QFETCH(QStringList, arguments);
    QFETCH(int, mode);
    QFETCH(QString, text);
    std::vector<std::string> parameters;
    for (const QString& a : arguments)
        parameters.push_back(a.toStdString());
    const CommandLine parsed = ParseCommandLine(parameters);
    QCOMPARE(parsed.CommandMode, mode);
    QCOMPARE(QString::fromStdString(parsed.CommandText), text);
}

void TfMainTest::startUpAndWholeRun() {
    TfMain& w = Start();
    QCOMPARE(w.windowTitle(), QString("Quillmark 1.3"));
    QCOMPARE(ControlStates(w), kIdle.arg("dv"));
    QVERIFY(w.xReadOnly->isChecked());
    QStringList lines = StatusLines(w);
    QVERIFY2(lines.contains("Processing alternate EQ folder (" + game_ + "/)"), qPrintable(lines.join('\n')));
    QVERIFY(lines.contains("No changes will be written to log file."));
    QCOMPARE(w.cLogs->currentText(), QString("tunare_Soandso"));
    QVERIFY(w.bProc->toolTip().startsWith("Process Log File for Soandso on "));
    QCOMPARE(w.gMobs->model()->rowCount(), 1);  // the empty first row
    QCOMPARE(w.gMobs->model()->headerData(2, Qt::Horizontal).toString(), QString("Killed"));

    const int killedByWidth = w.gMobs->columnWidth(1);
    QVERIFY(killedByWidth > 0);

    QTest::mouseClick(w.bProc, Qt::LeftButton);

    QCOMPARE(ControlStates(w), kIdle.arg("ev"));
    QCOMPARE(w.gMobs->columnWidth(1), killedByWidth);  // a run keeps the columns as laid out
    QCOMPARE(w.eName->text(), QString("Soandso"));
    QVERIFY(w.eFrom->text() != "unknown");
    QVERIFY(w.gMobs->model()->rowCount() > 1);
    QVERIFY(w.gSkills->model()->rowCount() > 1);
    lines = StatusLines(w);
    QVERIFY2(lines.first().startsWith("Reading: \""), qPrintable(lines.first()));
    QVERIFY(lines.contains("439 lines read"));
    QCOMPARE(w.pages->currentIndex(), 0);
    QVERIFY(w.bReport->toolTip().startsWith("View/Print generated report for Soandso on "));

    QTest::keyClick(&w, Qt::Key_Return);  // Report is the default button
    QCOMPARE(opened_.size(), std::size_t(1));
    QVERIFY(opened_[0].ends_with("/logs/eqlog_Soandso_tunare.html"));
    QVERIFY(QFileInfo::exists(QString::fromStdString(opened_[0])));
}

void TfMainTest::stopMidRunWithEscape() {
    TfMain& w = Start(Repeated(3000));
    QString during;
    WhenReading(w, [&] {
        during = ControlStates(w);
        QTest::keyClick(&w, Qt::Key_Escape);
        QTest::mouseClick(w.bStop, Qt::LeftButton);  // a second press changes nothing
    });
    QTest::mouseClick(w.bProc, Qt::LeftButton);
    QCOMPARE(during, kRunning);
    QCOMPARE(ControlStates(w), kIdle.arg("dv"));
    const QStringList lines = StatusLines(w);
    QCOMPARE(lines.count("* * * STOPPED BY USER * * *"), 1);
    QCOMPARE(lines.last(), QString("1 errors reported"));
    QVERIFY(!QFileInfo::exists(game_ + "/logs/eqlog_Soandso_tunare.html"));
}

void TfMainTest::closeQueryBothAnswers() {
    TfMain& w = Start(Repeated(1500));
    answer_ = false;
    WhenReading(w, [&] { w.close(); });
    QTest::mouseClick(w.bProc, Qt::LeftButton);
    QCOMPARE(questions_, QStringList{"Are you sure you want to stop processing and exit?"});
    QVERIFY(w.isVisible());
    QVERIFY(!StatusLines(w).contains("* * * STOPPED BY USER * * *"));
    QVERIFY(StatusLines(w).contains(QString::number(1501 * 439) + " lines read"));

    answer_ = true;
    questions_.clear();
    QVERIFY(QFile::remove(game_ + "/logs/eqlog_Soandso_tunare.html"));
    QString during;
    WhenReading(w, [&] {
        w.close();
        during = ControlStates(w);  // still running until the next check
        w.close();                  // a close while a confirmed close is pending goes through at once
    });
    QTest::mouseClick(w.bProc, Qt::LeftButton);
    QCOMPARE(questions_.size(), 1);
    QCOMPARE(during, kRunning);
    QVERIFY(!w.isVisible());
    QVERIFY(!StatusLines(w).contains("* * * STOPPED BY USER * * *"));
    QVERIFY(!w.session().Busy);
    QVERIFY(!QFileInfo::exists(game_ + "/logs/eqlog_Soandso_tunare.html"));
}

void TfMainTest::sortsAndDetailLines() {
    TfMain& w = Start({"[Fri Dec 14 21:20:00 2026] You have slain Caf\xe9 Owner!"});
    QTest::mouseClick(w.bProc, Qt::LeftButton);

    // Text order: the first column ascending without regard to case.
    auto firstColumn = [](QTableView* grid) {
        QStringList keys;
        for (int r = 0; r < grid->model()->rowCount(); ++r)
            keys << Shown(grid, r, 0);
        return keys;
    };
    auto isTextOrder = [&](QTableView* grid) {
        const QStringList keys = firstColumn(grid);
        for (int r = 1; r < keys.size(); ++r) {
            if (keys[r - 1].compare(keys[r], Qt::CaseInsensitive) > 0) return false;
        }
        return true;
    };
    QVERIFY(isTextOrder(w.gSkills));
    QTest::mouseClick(w.bValue, Qt::LeftButton);
    QVERIFY(w.bValue->isChecked() && !w.bText->isChecked());
    for (int r = 1; r < w.gSkills->model()->rowCount(); ++r) {
        QVERIFY(Shown(w.gSkills, r - 1, 1).toInt() >= Shown(w.gSkills, r, 1).toInt());
    }
    QVERIFY(!isTextOrder(w.gSkills));
    QTest::mouseClick(w.bText, Qt::LeftButton);
    QVERIFY(w.bText->isChecked() && !w.bValue->isChecked());
    for (QTableView* grid : w.Grids())
        QVERIFY2(isTextOrder(grid), qPrintable(grid->objectName()));

    // Detail line of the mobs: the zones of the chosen row in parentheses, also as the hint.
    w.pages->setCurrentIndex(4);
    const int row = 0;
    QTest::mouseClick(w.gMobs->viewport(), Qt::LeftButton, {},
                      w.gMobs->visualRect(w.gMobs->model()->index(row, 0)).center());
    const QString zones = Shown(w.gMobs, row, 3);
    QVERIFY(!zones.isEmpty());
    QCOMPARE(w.lMobsDetail->text(), "(" + zones + ")");
    QCOMPARE(w.lMobsDetail->toolTip(), w.lMobsDetail->text());
    // Another order puts another row where the chosen one stood: the line follows it.
    QTest::mouseClick(w.bValue, Qt::LeftButton);
    QCOMPARE(w.lMobsDetail->text(), "(" + Shown(w.gMobs, w.gMobs->currentIndex().row(), 3) + ")");
    QVERIFY(Shown(w.gMobs, w.gMobs->currentIndex().row(), 3) != zones);

    // Names with bytes above 127 are shown as the game meant them.
    QVERIFY(firstColumn(w.gMobs).contains(QString::fromUtf8("Caf\u00e9 Owner")));
}

void TfMainTest::modeHandlerRewritesTheStatusList() {
    // Settings that held another mode select it from code, as start-up does; the handler's lines replace
    // the list each time.
    TfMain& w = Start();
    w.xSmallest->setChecked(true);
    QCOMPARE(StatusLines(w),
             (QStringList{"Log will be compressed to smallest size possible.",
                          "WARNING: Some log data will not be compatible with other log parsers!"}));
    w.xCompatible->setChecked(true);
    QCOMPARE(StatusLines(w),
             QStringList{"Log will be compressed to be compatible with other log parsers, where possible."});
    w.xReadOnly->setChecked(true);
    QCOMPARE(StatusLines(w), QStringList{"No changes will be written to log file."});
}

void TfMainTest::missingLogsAreStatusLines() {
    // A log deleted between listing and Process: the run's error line, and the window idle again.
    TfMain& w = Start();
    QVERIFY(QFile::remove(game_ + "/logs/eqlog_Soandso_tunare.txt"));
    QTest::mouseClick(w.bProc, Qt::LeftButton);
    QVERIFY(StatusLines(w).contains("ERROR: Unable to read log file!"));
    QCOMPARE(ControlStates(w), kIdle.arg("dv"));

    // A game folder without logs: an error line and no Process.
    w.close();
    window_.reset();
    TfMain empty(ParseCommandLine({"-p", game_.toStdString()}), ProgramFolder().toStdString());
    empty.show();
    QVERIFY(QTest::qWaitFor([&] { return !empty.FirstActivation(); }));
    QVERIFY(StatusLines(empty).contains("ERROR: No log files in specified directory!"));
    QVERIFY(!empty.bProc->isEnabled());
    QCOMPARE(empty.cLogs->count(), 0);
}

void TfMainTest::hundredThousandRowsStayFast() {
    TfMain& w = Start();
    StatTable& mobs = w.session().Tables.gMobs;
    constexpr int kRows = 100000;
    for (int i = 0; i < kRows; ++i) {
        // Keys out of order, so both sorts have work to do.
        const std::string n = std::to_string((i * 7919) % kRows);
        if (i > 0) mobs.AppendRow();
        mobs.HasRows = true;
        mobs.SetNewCell(0, "mob " + std::string(6 - n.size(), '0') + n);
        mobs.SetNewCell(1, "0");
        mobs.SetNewCell(2, n);
        mobs.SetNewCell(3, "Somewhere");
    }
    w.pages->setCurrentIndex(4);
    QElapsedTimer elapsed;
    elapsed.start();
    QTest::mouseClick(w.bValue, Qt::LeftButton);
    QCOMPARE(w.gMobs->model()->rowCount(), kRows);
    QCOMPARE(Shown(w.gMobs, 0, 0), QString("mob 099999"));
    w.gMobs->verticalScrollBar()->setValue(w.gMobs->verticalScrollBar()->maximum());
    QTest::mouseClick(w.bText, Qt::LeftButton);
    QCOMPARE(Shown(w.gMobs, kRows - 1, 0), QString("mob 099999"));
    QCoreApplication::processEvents();
    // About a second in the release build; only a fault that grows with the square of the rows could take
    // this long, even in the sanitizer build on a busy machine.
    QVERIFY2(elapsed.elapsed() < 30000, qPrintable(QString::number(elapsed.elapsed())));
}

void TfMainTest::secondInstanceEndsSilently() {
    QTemporaryDir home;
    qputenv("KRAV_REGISTRY_DIR", (home.path() + "/registry").toLocal8Bit());
    auto startCopy = [&] {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("HOME", home.path());
        process->setProcessEnvironment(env);
        process->start(QStringLiteral(KRAV_WINDOW_PATH), {"-p", home.path()});
        return process;
    };
    {
        platform::SingleInstance held;
        QVERIFY(held.Acquire("HY_KRAV"));
        platform::SingleInstance again;
        QVERIFY(!again.Acquire("HY_KRAV"));
        auto second = startCopy();
        QVERIFY(second->waitForFinished(10000));
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
        QVERIFY(second->readAllStandardOutput().isEmpty());
    }
    // A copy that holds the lock and is killed leaves nothing behind that stops the next start.
    auto first = startCopy();
    QVERIFY(first->waitForStarted());
    QVERIFY(QTest::qWaitFor([] { return !platform::SingleInstance().Acquire("HY_KRAV"); }, 10000));
    first->kill();
    QVERIFY(first->waitForFinished());
    platform::SingleInstance after;
    QVERIFY(after.Acquire("HY_KRAV"));
}

QTEST_MAIN(TfMainTest)
#include "tf_main_test.moc"
