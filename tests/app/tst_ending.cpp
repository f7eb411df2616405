#include "app/mainwindow.h"
#include "app/services.h"
#include "native/isolatedfilesystem.h"
#include "native/nativefilesystem.h"

#include "diskfiles.h"
#include "leftovers.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QProcess>
#include <QScopeGuard>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <cstdio>

using namespace dyadix;
using namespace dyadix::test;

namespace {
// The program as a person runs it, on its stored folders: copies every Left file to the Right and closes its window as soon as a line comes
// on standard input, saying "copy ended" when the copy returns. With --stuck, it waits on the system instead (a read that never returns).
int copyThenClose(int argc, char *argv[])
{
    IsolatedFileSystem::startHelper();
    QApplication application(argc, argv);
    Services services;
    MainWindow window(services);
    if (!window.start())
        return 1;
    int never[2], byte = 0;
    if (qstrcmp(argv[1], "--stuck") == 0)
        return ::pipe(never) == 0 && ::read(never[0], &byte, 1) == 1 ? 0 : 1;
    FormModel &form = window.form();
    form.mnuOptionAction.setChecked(false);
    form.mnuOptionSubfolders.trigger(); // the whole trees
    for (int i = 0; i < form.pane(1).lstFiles.ListCount(); ++i)
        form.pane(1).lstFiles.setSelected(i, true);
    QSocketNotifier closeAsked(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&closeAsked, &QSocketNotifier::activated, &window, &QWidget::close);
    std::printf("window %llu\n", static_cast<unsigned long long>(window.winId())); // where a close request goes
    std::fflush(stdout);
    QTimer::singleShot(0, &window, [&form] {
        form.mnuCopy(1)->trigger();
        std::printf("copy ended\n");
        std::fflush(stdout);
    });
    return QApplication::exec();
}

// Whether a program has its handler for SIGTERM in place (until the program has started, its
// process is a copy of this test, with this test's handler and command line).
// How many processes run this executable (the program and the file helper it forks).
int copiesOf(const QString &executable)
{
    const QString wanted = QFileInfo(executable).canonicalFilePath();
    int copies = 0;
    for (const QString &process : QDir("/proc").entryList(QDir::Dirs))
        copies += QFileInfo("/proc/" + process + "/exe").symLinkTarget() == wanted;
    return copies;
}

bool catchesTerm(const QProcess &program)
{
    const QString proc = QString("/proc/%1/").arg(program.processId());
    if (readFile(proc + "cmdline") != (QStringList {program.program()} + program.arguments()).join(QChar(0)).toLocal8Bit() + '\0')
        return false;
    const QByteArray status = readFile(proc + "status");
    const qsizetype at = status.indexOf("SigCgt:");
    return at >= 0 && (status.mid(at + 7, 17).trimmed().toULongLong(nullptr, 16) & (1ULL << (SIGTERM - 1))) != 0;
}

// How many windows of a program are on the screen (mapped), as the window system lists them.
int windowsShown(const QProcess &program)
{
    QProcess search;
    search.start("xdotool", {"search", "--onlyvisible", "--pid", QString::number(program.processId())});
    return search.waitForFinished(5000) ? search.readAllStandardOutput().count('\n') : -1;
}

QByteArray hashOf(const QString &path)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    return file.open(QIODevice::ReadOnly) && hash.addData(&file) ? hash.result().toHex() : QByteArray();
}
// A real SSH mount (a private sshd on loopback) of WORK/export at WORK/mount point while it lives.
struct SshMount
{
    enum Status { Started, Unavailable, Failed } status = Failed;
    QString message; // why it is not there
    QString work;
    explicit SshMount(const QString &folder)
        : work(folder)
    {
        QProcess mount;
        mount.start(SSH_MOUNT, {"start", work});
        const bool ended = mount.waitForFinished(60000);
        message = QString::fromLocal8Bit(mount.readAllStandardError().trimmed());
        status = !ended ? Failed : mount.exitCode() == 77 ? Unavailable : mount.exitCode() == 0 ? Started : Failed;
    }
    ~SshMount() { QProcess::execute(SSH_MOUNT, {"stop", work}); }
};
} // namespace

// The program ends when told to, within two seconds, whatever it is doing: storing its settings
// as at any exit, or saying on standard error why it could not.
class tst_Ending : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    bool m_onXServer = false; // the program on this test's X server, its window closed as a window manager closes it
    QString at(const QString &name) const { return dir.path() + '/' + name; }
    // The program (this test's copy mode, or the real one), on fresh settings.
    void start(QProcess &program, const QString &executable, const QStringList &arguments = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", at("config"));
        environment.insert("XDG_DATA_HOME", at("data")); // the Trash of the files it replaces
        environment.insert("QT_QPA_PLATFORM", m_onXServer ? "xcb" : "offscreen");
        program.setProcessEnvironment(environment);
        program.setWorkingDirectory(dir.path());
        leftovers::start(program, executable, arguments);
    }
    // This test's copy mode from one folder to another.
    void startCopy(QProcess &program, const QString &from, const QString &to)
    {
        QVERIFY(QDir(at("config")).removeRecursively() && QDir().mkpath(at("config/tst_ending")) && QDir().mkpath(from) && QDir().mkpath(to));
        QVERIFY(writeFile(at("config/tst_ending/tst_ending.ini"), ("[Settings]\nPath1=" + from + "\nPath2=" + to + "\n").toUtf8()));
        start(program, QCoreApplication::applicationFilePath(), {"--copy-then-close"});
    }

private slots:
    // SIGTERM while a start-up box is open (a stored folder on a stick that is not plugged in), or while storing the settings fails: the
    // box is taken as cancelled, its text goes to standard error, and the settings are stored as at a normal exit where they can be; or
    // while the program waits on the system: it ends all the same, saying so.
    void signalEndsTheProgram_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QByteArray>("reason");
        QTest::newRow("start-up box open") << QByteArray("[Settings]\nWildcards=*.kept\nPath2=@/stick/photos\n")
                                           << QByteArray("dyadix: Error in Sub GetSettings!: Error 76 Path not found\n");
        QTest::newRow("settings cannot be stored") << QByteArray() << QByteArray("dyadix: dyadix: Error 70 Permission denied The settings could not all be stored.\n");
        QTest::newRow("waiting on the system") << QByteArray("stuck") << QByteArray("dyadix: ended without storing the settings: the program was waiting on the system");
    }
    void signalEndsTheProgram()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QByteArray, reason);
        const QString file = at("config/dyadix/dyadix.ini");
        QVERIFY(QDir(at("config")).removeRecursively() && QDir().mkpath(at("config/dyadix")));
        // A file where the settings folder belongs refuses every write.
        QVERIFY(stored.isEmpty() ? QDir().rmdir(at("config/dyadix")) && writeFile(at("config/dyadix"), "")
                                 : writeFile(file, stored.replace('@', dir.path().toUtf8())));
        QProcess program;
        stored == "stuck" ? start(program, QCoreApplication::applicationFilePath(), {"--stuck"}) : start(program, DYADIX_EXECUTABLE);
        QTRY_VERIFY_WITH_TIMEOUT(catchesTerm(program), 20000);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(::kill(pid_t(program.processId()), SIGTERM) == 0);
        QVERIFY(program.waitForFinished(2000));
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        const QByteArray said = program.readAllStandardError();
        QVERIFY2(said.contains(reason), said.constData());
        const QByteArray settings = readFile(file);
        if (!stored.isEmpty() && stored != "stuck") // stored as at a normal exit
            QVERIFY2(settings.contains("Path1=" + dir.path().toUtf8() + "\n") && settings.contains("Wildcards=*.kept\n") && settings.contains("WindowState=0\n"), settings.constData());
        QVERIFY(QFile::remove(stored.isEmpty() ? at("config/dyadix") : file));
        if (stored != "stuck") // its file helper ends with it
            QTRY_COMPARE(copiesOf(DYADIX_EXECUTABLE), 0);
    }

    // Started on folders from a shell or a file manager's action: each given folder (a file standing for its folder, a relative one
    // taken from the current folder) is shown instead of the stored one, and stored at exit as any folder chosen by hand; a
    // missing one brings the start-up's error box; help, the version and a wrong option are answered before any window opens.
    void startedWith_data()
    {
        QTest::addColumn<QStringList>("arguments"); // @: this test's folder
        QTest::addColumn<int>("status");            // -1: the window opens, and a signal ends it
        QTest::addColumn<QString>("said");          // on standard output, then standard error
        QTest::addColumn<QString>("stored");        // Path1 and Path2 at exit
        QTest::newRow("two folders") << QStringList {"@/a", "@/b"} << -1 << "|" << "@/a @/b";
        QTest::newRow("one, relative") << QStringList {"b"} << -1 << "|" << "@/b @/y";
        QTest::newRow("a file") << QStringList {"@/a/file.txt", "--", "-dash"} << -1 << "|" << "@/a @/-dash";
        QTest::newRow("a missing folder") << QStringList {"@/gone"} << -1 << "|dyadix: Error in Sub GetSettings!: Error 76 Path not found\n" << "";
        QTest::newRow("help") << QStringList {"--help"} << 0 << "Usage: dyadix [LEFT [RIGHT]]|" << "";
        QTest::newRow("version") << QStringList {"--version"} << 0 << QString("dyadix %1 - DYX ").arg(DYADIX_VERSION_TEXT) + '|' << "";
        QTest::newRow("unknown option") << QStringList {"--frob", "@/a"} << 2 << "|dyadix: unknown option --frob (see dyadix --help)\n" << "";
        QTest::newRow("three folders") << QStringList {"@/a", "@/b", "@/y"} << 2 << "|dyadix: give at most two folders, LEFT and RIGHT (see dyadix --help)\n" << "";
    }
    void startedWith()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, said);
        QFETCH(QString, stored);
        for (const char *folder : {"a", "b", "x", "y", "-dash"})
            QVERIFY(QDir().mkpath(at(folder)));
        QVERIFY(writeFile(at("a/file.txt"), "in a"));
        const QString settings = at("config/dyadix/dyadix.ini");
        QVERIFY(QDir(at("config")).removeRecursively() && QDir().mkpath(at("config/dyadix")));
        QVERIFY(writeFile(settings, ("[Settings]\nPath1=" + at("x") + "\nPath2=" + at("y") + "\n").toUtf8()));
        QProcess program;
        start(program, DYADIX_EXECUTABLE, arguments.replaceInStrings("@", dir.path()));
        if (status == -1) { // the window opens; a signal ends it, storing the settings
            QTRY_VERIFY_WITH_TIMEOUT(catchesTerm(program), 20000);
            QVERIFY(::kill(pid_t(program.processId()), SIGTERM) == 0);
        }
        QVERIFY(program.waitForFinished(status == -1 ? 5000 : 2000));
        QCOMPARE(program.exitCode(), std::max(status, 0));
        const QString out = QString::fromLocal8Bit(program.readAllStandardOutput()), err = QString::fromLocal8Bit(program.readAllStandardError());
        QVERIFY2(out.startsWith(said.section('|', 0, 0)) && err.endsWith(said.section('|', 1)) && (said.section('|', 1).isEmpty() != err.contains("dyadix:")),
                 qPrintable(out + '|' + err));
        const QByteArray kept = readFile(settings);
        const auto value = [&](const QByteArray &key) { return kept.mid(kept.indexOf(key + '=') + key.size() + 1).split('\n').value(0); };
        if (!stored.isEmpty())
            QCOMPARE(QString::fromUtf8(value("Path1") + ' ' + value("Path2")), QString(stored).replace("@", dir.path()));
    }

    // The program killed outright while it replaces a large file leaves the old file, and nothing else, in the target folder.
    void killedWhileReplacing()
    {
        QVERIFY(QDir().mkpath(at("from")) && QDir().mkpath(at("onto")) && writeFile(at("from/big"), QByteArray(512 << 20, 'k')));
        QVERIFY(writeFile(at("onto/big"), "old content", 1600000000));
        QProcess program;
        startCopy(program, at("from"), at("onto"));
        // The copy is under way once the program holds a file in the target folder that has no name.
        const auto writingUnnamed = [&] {
            const QString fds = QString("/proc/%1/fd/").arg(program.processId());
            for (const QString &fd : QDir(fds).entryList(QDir::Files | QDir::System))
                if (QFile::symLinkTarget(fds + fd).startsWith(at("onto/")) && QFile::symLinkTarget(fds + fd).endsWith("(deleted)"))
                    return true;
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(writingUnnamed(), 20000);
        program.kill();
        QVERIFY(program.waitForFinished(5000));
        QCOMPARE(namesIn(at("onto")), QStringList {"big"});
        QCOMPARE(readFile(at("onto/big")), QByteArray("old content"));
    }

    // Contents on a folder of another machine (a real SSH mount) are compared by the file helper: the same, and one byte apart at the end.
    void compareOnAnotherMachine()
    {
        if (::geteuid() != 0)
            QSKIP("FUSE mounts need root; the root run of the suite tests this");
        const QString work = at("compared");
        const SshMount mount(work);
        if (mount.status == SshMount::Unavailable)
            QSKIP(qPrintable("no SSH mount here: " + mount.message));
        QVERIFY2(mount.status == SshMount::Started, qPrintable(mount.message));
        const QByteArray content(3 << 20, 'c');
        QVERIFY(writeFile(at("local"), content) && writeFile(work + "/export/same", content) && writeFile(work + "/export/other", QByteArray(content).replace(content.size() - 1, 1, "d")));
        NativeFileSystem native;
        IsolatedFileSystem files(native);
        QStringList found;
        for (const Result<Contents> &one : files.compareContents({{at("local"), work + "/mount point/same"}, {at("local"), work + "/mount point/other"}}))
            found << (one ? (*one == Contents::Same ? "same" : "different") : one.error().description);
        QCOMPARE(found.join(' '), QStringLiteral("same different"));
    }

    // While a copy waits on a folder of another machine that stopped answering (a real SSH mount, its server stopped): the
    // window's close box (the close request a window manager sends) ends the program within two seconds; Escape in the progress
    // box and Yes to its question end the copy within three, the window still open, and its close box then ends the program as
    // fast. The source and the old target are as they were.
    void stopDuringCopyOntoFrozenFolder_data()
    {
        QTest::addColumn<QStringList>("keys"); // pressed once the progress box shows, each when a new window is up
        QTest::newRow("close box") << QStringList();
        QTest::newRow("Escape, Yes") << QStringList {"Escape", "alt+y"};
    }
    void stopDuringCopyOntoFrozenFolder()
    {
        QFETCH(QStringList, keys);
        if (::geteuid() != 0)
            QSKIP("FUSE mounts need root; the root run of the suite tests this");
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("the close request comes through an X server; the _x11 run tests this");
        if (!keys.isEmpty() && QStandardPaths::findExecutable("xdotool").isEmpty())
            QSKIP("xdotool is not installed (scripts/install-deps build installs it)");
        m_onXServer = true;
        const auto offscreenAgain = qScopeGuard([this] { m_onXServer = false; });
        const QString work = at(QString("remote-%1").arg(keys.size())); // a server of its own for each row
        const SshMount mount(work);
        if (mount.status == SshMount::Unavailable)
            QSKIP(qPrintable("no SSH mount here: " + mount.message));
        QVERIFY2(mount.status == SshMount::Started, qPrintable(mount.message));
        QVERIFY(QDir().mkpath(at("source")) && writeFile(at("source/big"), QByteArray(256 << 20, 'b')));
        const QByteArray sourceHash = hashOf(at("source/big"));
        QVERIFY(writeFile(work + "/export/big", "old content", 1600000000));
        QProcess program;
        startCopy(program, at("source"), work + "/mount point");
        auto copying = [&] {
            for (const QFileInfo &part : QDir(work + "/export").entryInfoList({".dyadix-*"}, QDir::Files | QDir::Hidden))
                if (part.size() > (4 << 20))
                    return true;
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(copying(), 20000);
        const QByteArray window = program.readLine().trimmed();
        QVERIFY2(window.startsWith("window "), window.constData());
        QCOMPARE(QProcess::execute(SSH_MOUNT, {"freeze", work}), 0);
        const auto thaw = qScopeGuard([&] { QProcess::execute(SSH_MOUNT, {"thaw", work}); });
        QElapsedTimer clock;
        int windows = 1; // the program's windows on the screen: its main window, then the progress box and the question
        for (const QString &key : keys) {
            QTRY_VERIFY_WITH_TIMEOUT(windowsShown(program) > windows, 10000);
            windows = windowsShown(program);
            QCOMPARE(QProcess::execute("xdotool", {"key", "--clearmodifiers", key}), 0);
            clock.start();
        }
        if (!keys.isEmpty()) {
            QVERIFY(program.waitForReadyRead(3000 - clock.elapsed()) || program.canReadLine());
            QCOMPARE(program.readLine(), QByteArray("copy ended\n"));
            QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
            QCOMPARE(program.state(), QProcess::Running);
        }
        clock.start();
        QCOMPARE(QProcess::execute(CLOSE_REQUEST, {QString::fromLatin1(window.mid(7))}), 0);
        QVERIFY(program.waitForFinished(2000));
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(QProcess::execute(SSH_MOUNT, {"thaw", work}), 0);
        QCOMPARE(hashOf(at("source/big")), sourceHash);
        // The file system's helper finishes once the folder answers: it leaves no partial file.
        QTRY_COMPARE_WITH_TIMEOUT(namesIn(work + "/export"), QStringList {"big"}, 20000);
        QCOMPARE(readFile(work + "/export/big") + ' ' + QByteArray::number(qint64(modifiedOf(work + "/export/big"))), QByteArray("old content 1600000000"));
    }
};

int main(int argc, char *argv[])
{
    if (argc > 1 && (qstrcmp(argv[1], "--copy-then-close") == 0 || qstrcmp(argv[1], "--stuck") == 0))
        return copyThenClose(argc, argv);
    IsolatedFileSystem::startHelper(); // before any thread: the file helper that reads network folders for this test too
    QCoreApplication application(argc, argv);
    tst_Ending test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ending.moc"
