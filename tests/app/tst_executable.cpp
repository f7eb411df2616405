#include "tempfiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

class tst_Executable : public QObject
{
    Q_OBJECT

private slots:
    void settingsSurviveTwoRuns();

private:
    // Runs the program in `folder` until it is up, then ends it as a session logout does.
    void runOnce(const QString &home, const QString &folder);
};

namespace {
// Whether a process has its handler for SIGTERM in place.
bool catchesTerm(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1)) & 1;
    }
    return false;
}
} // namespace

void tst_Executable::runOnce(const QString &home, const QString &folder)
{
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", home);
    environment.insert("XDG_CONFIG_HOME", home + "/.config");
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(folder);
    program.start(QStringLiteral(DYADIX_EXECUTABLE), {});
    QVERIFY(program.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(catchesTerm(program.processId()), 20000);
    ::kill(pid_t(program.processId()), SIGTERM);
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
}

// What one run of the real program stores at exit, the next run reads back and keeps.
void tst_Executable::settingsSurviveTwoRuns()
{
    QTemporaryDir home;
    QVERIFY(QDir(home.path()).mkpath(".config/dyadix"));
    QVERIFY(QDir(home.path()).mkpath("left"));
    QVERIFY(QDir(home.path()).mkpath("right"));
    QVERIFY(QDir(home.path()).mkpath("elsewhere"));
    const QString ini = home.path() + "/.config/dyadix/dyadix.ini";
    QVERIFY(dyadix::test::writeFile(ini, "[Settings]\nPath1=" + home.path().toUtf8() + "/left\nPath2="
                                             + home.path().toUtf8() + "/right\nWildcards=*.txt\n"
                                               "LastFile0=/a|*.*|/b\n"));
    runOnce(home.path(), home.path() + "/elsewhere");
    {
        QSettings stored(ini, QSettings::IniFormat);
        QCOMPARE(stored.value("Settings/Path1").toString(), home.path() + "/left");
        QCOMPARE(stored.value("Settings/Path2").toString(), home.path() + "/right");
        QCOMPARE(stored.value("Settings/Wildcards").toString(), QStringLiteral("*.txt"));
        QCOMPARE(stored.value("Settings/LastFile0").toString(), QStringLiteral("/a|*.*|/b"));
        QCOMPARE(stored.value("Settings/WindowState").toString(), QStringLiteral("0"));
        QVERIFY(stored.value("Settings/Width").toInt() > 0);
    }
    runOnce(home.path(), home.path() + "/elsewhere");
    QSettings again(ini, QSettings::IniFormat);
    QCOMPARE(again.value("Settings/Path2").toString(), home.path() + "/right");
    QCOMPARE(again.value("Settings/LastFile0").toString(), QStringLiteral("/a|*.*|/b"));
}

QTEST_GUILESS_MAIN(tst_Executable)
#include "tst_executable.moc"
