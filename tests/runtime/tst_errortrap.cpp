#include "runtime/errortrap.h"

#include "scriptedprompter.h"

#include <QTest>

#include <cerrno>

using namespace dyadix;
using dyadix::test::ScriptedPrompter;

class tst_ErrorTrap : public QObject
{
    Q_OBJECT

private slots:
    void answers_data();
    void answers();
    void promptText_data();
    void promptText();
    void contextVariant();
    void assignKeepsOldValueOnIgnore();
    void errnoMapping_data();
    void errnoMapping();
};

namespace {
// A command of three steps and a closing step; step 2 fails `failures` times.
QStringList runCommand(ScriptedPrompter &prompter, int failures)
{
    QStringList done;
    ErrorTrap trap(prompter, QStringLiteral("Error!"));
    trap.run([&]() -> Status {
        done << "step1";
        return {};
    });
    trap.run([&]() -> Status {
        if (failures-- > 0) {
            done << "step2 failed";
            return ErrorNumber::FileNotFound;
        }
        done << "step2";
        return {};
    });
    trap.run([&]() -> Status {
        done << "step3";
        return {};
    });
    done << "closing";
    return done;
}
} // namespace

// Retry repeats the failing step, Ignore goes on, Abort leaves only the closing steps.
void tst_ErrorTrap::answers_data()
{
    QTest::addColumn<int>("failures");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<QStringList>("done");
    QTest::newRow("no failure") << 0 << QList<int>() << QStringList {"step1", "step2", "step3", "closing"};
    QTest::newRow("retry then success")
        << 1 << QList<int> {int(MsgAnswer::Retry)}
        << QStringList {"step1", "step2 failed", "step2", "step3", "closing"};
    QTest::newRow("retry twice")
        << 2 << QList<int> {int(MsgAnswer::Retry), int(MsgAnswer::Retry)}
        << QStringList {"step1", "step2 failed", "step2 failed", "step2", "step3", "closing"};
    QTest::newRow("ignore goes on")
        << 1 << QList<int> {int(MsgAnswer::Ignore)}
        << QStringList {"step1", "step2 failed", "step3", "closing"};
    QTest::newRow("abort skips to closing")
        << 1 << QList<int> {int(MsgAnswer::Abort)}
        << QStringList {"step1", "step2 failed", "closing"};
    QTest::newRow("retry then abort")
        << 5 << QList<int> {int(MsgAnswer::Retry), int(MsgAnswer::Abort)}
        << QStringList {"step1", "step2 failed", "step2 failed", "closing"};
}

void tst_ErrorTrap::answers()
{
    QFETCH(int, failures);
    QFETCH(QList<int>, answers);
    QFETCH(QStringList, done);
    ScriptedPrompter prompter;
    for (int answer : answers)
        prompter.answer(MsgAnswer(answer));
    QCOMPARE(runCommand(prompter, failures), done);
    QCOMPARE(prompter.shown().size(), size_t(answers.size()));
    for (const auto &box : prompter.shown()) {
        QCOMPARE(box.title, QStringLiteral("Error!"));
        QCOMPARE(box.style, 34);
        QCOMPARE(box.text, QStringLiteral("Error 53\nFile not found"));
    }
}

// The prompt shows the program's number and description of each kind of failure.
void tst_ErrorTrap::promptText_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("text");
    QTest::newRow("file not found") << 53 << "Error 53\nFile not found";
    QTest::newRow("path not found") << 76 << "Error 76\nPath not found";
    QTest::newRow("disk full") << 61 << "Error 61\nDisk full";
    QTest::newRow("overflow") << 6 << "Error 6\nOverflow";
}

void tst_ErrorTrap::promptText()
{
    QFETCH(int, number);
    QFETCH(QString, text);
    ScriptedPrompter prompter;
    prompter.answer(MsgAnswer::Abort);
    ErrorTrap trap(prompter, QStringLiteral("Error in Sub GetSettings!"));
    QVERIFY(!trap.run([&]() -> Status { return ErrorNumber(number); }));
    QVERIFY(trap.aborted());
    QCOMPARE(prompter.shown().at(0).text, text);
    QCOMPARE(prompter.shown().at(0).title, QStringLiteral("Error in Sub GetSettings!"));
    QCOMPARE(prompter.shown().at(0).style, 34);
}

// The listing's variant shows the description followed by the context of the moment.
void tst_ErrorTrap::contextVariant()
{
    ScriptedPrompter prompter;
    prompter.answer(MsgAnswer::Retry);
    prompter.answer(MsgAnswer::Ignore);
    QString messageText = QStringLiteral(" on /data/a.txt");
    ErrorTrap trap = ErrorTrap::withContext(prompter, QStringLiteral("Error in Sub dirList_Change"),
                                            [&] { return messageText; });
    int attempts = 0;
    QVERIFY(!trap.run([&]() -> Status {
        ++attempts;
        messageText = QStringLiteral(" on /data/b.txt");
        return ErrorNumber::FileNotFound;
    }));
    QCOMPARE(attempts, 2);
    QVERIFY(!trap.aborted());
    QCOMPARE(prompter.shown().at(0).text, QStringLiteral("File not found on /data/b.txt"));
    QCOMPARE(prompter.shown().at(0).title, QStringLiteral("Error in Sub dirList_Change"));
    QCOMPARE(prompter.shown().at(0).style, 34);
}

// A value step that is ignored leaves the variable as it was (a failed width stays 0).
void tst_ErrorTrap::assignKeepsOldValueOnIgnore()
{
    ScriptedPrompter prompter;
    prompter.answer(MsgAnswer::Ignore);
    ErrorTrap trap(prompter, QStringLiteral("Error!"));
    int width = 0;
    QVERIFY(!trap.assign<int>(width, [] { return Result<int>(ErrorNumber::TypeMismatch); }));
    QCOMPARE(width, 0);
    QVERIFY(trap.assign<int>(width, [] { return Result<int>(7110); }));
    QCOMPARE(width, 7110);
}

// Operating-system failures reach the user under the program's own numbers.
void tst_ErrorTrap::errnoMapping_data()
{
    QTest::addColumn<int>("errnoValue");
    QTest::addColumn<bool>("folder");
    QTest::addColumn<int>("number");
    QTest::newRow("missing file") << ENOENT << false << 53;
    QTest::newRow("missing folder") << ENOENT << true << 76;
    QTest::newRow("not a folder") << ENOTDIR << false << 76;
    QTest::newRow("access") << EACCES << false << 70;
    QTest::newRow("no space") << ENOSPC << false << 61;
    QTest::newRow("no medium") << ENOMEDIUM << false << 71;
    QTest::newRow("anything else") << EDOM << false << 75;
}

void tst_ErrorTrap::errnoMapping()
{
    QFETCH(int, errnoValue);
    QFETCH(bool, folder);
    QFETCH(int, number);
    const RunTimeError error
        = RunTimeError::fromErrno(errnoValue, folder ? PathKind::Folder : PathKind::File);
    QCOMPARE(error.number, number);
    QCOMPARE(error.description, errorDescription(number));
    QVERIFY(!error.description.isEmpty());
}

QTEST_GUILESS_MAIN(tst_ErrorTrap)
#include "tst_errortrap.moc"
