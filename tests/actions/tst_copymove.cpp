#include "formfixture.h"
#include "tempfiles.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>

using namespace dyadix;
using namespace dyadix::test;

class tst_CopyMove : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void confirmation_data();
    void confirmation();
    void noInTheConfirmationChangesNothing();
    void copyCarriesTimeAndUnticks();
    void warnings_data();
    void warnings();
    void noWarningWhenMarkNewerIsOn();
    void cancelOnTheThirdOfFive();
    void noLeavesTheLineTicked();
    void tickedPlaceholder_data();
    void tickedPlaceholder();
    void moveWhoseCopyFailsKeepsTheSource_data();
    void moveWhoseCopyFailsKeepsTheSource();
    void moveWhoseDeleteFails();

private:
    QString left() const { return m_dir->path() + "/L"; }
    QString right() const { return m_dir->path() + "/R"; }
    void relist();
    void tick(int pane, const QStringList &names);

    std::unique_ptr<FormFixture> f;
    std::unique_ptr<QTemporaryDir> m_dir;
    const std::int64_t m_old = localTime(2024, 3, 1, 10, 0, 17);
    const std::int64_t m_new = localTime(2024, 3, 5, 16, 45, 3);
};

void tst_CopyMove::init()
{
    f = std::make_unique<FormFixture>();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir(m_dir->path()).mkdir("L"));
    QVERIFY(QDir(m_dir->path()).mkdir("R"));
}

void tst_CopyMove::relist()
{
    QVERIFY(f->show(1, left()));
    QVERIFY(f->show(2, right()));
}

void tst_CopyMove::tick(int pane, const QStringList &names)
{
    FileListModel &list = f->form->pane(pane).lstFiles;
    for (int i = 0; i < list.ListCount(); ++i) {
        if (names.contains(list.entry(i).name))
            list.setSelected(i, true);
    }
}

namespace {
const QString Hint = "\n\nThis can not be undone!\nAre you SURE you want to do this?\n"
                     "(to turn this message off for this session,\nclick Options > Warn before Actions OFF)";
}

// Each of the four commands asks with its own words, folders and title before touching a file.
void tst_CopyMove::confirmation_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("word");
    QTest::addColumn<bool>("leftToRight");
    QTest::addColumn<QString>("title");
    QTest::newRow("copy >") << 1 << "Copy" << true << "Copy Left to Right >>>?";
    QTest::newRow("copy <") << 2 << "Copy" << false << "Copy <<< Right to Left?";
    QTest::newRow("move >") << 3 << "Move" << true << "Move Left to Right >>>?";
    QTest::newRow("move <") << 4 << "Move" << false << "Move <<< Right to Left?";
}

void tst_CopyMove::confirmation()
{
    QFETCH(int, index);
    QFETCH(QString, word);
    QFETCH(bool, leftToRight);
    QFETCH(QString, title);
    const QString from = leftToRight ? left() : right();
    const QString to = leftToRight ? right() : left();
    QVERIFY(writeFile(from + "/one.txt", "1", m_old));
    relist();
    tick(leftToRight ? 1 : 2, {"one.txt"});
    f->prompter.answer(MsgAnswer::Yes);
    f->form->mnuCopy(index)->trigger();
    QCOMPARE(f->prompter.shown().size(), size_t(1));
    const PromptRecord &box = f->prompter.shown().front();
    QCOMPARE(box.text, "You are about to " + word + " 1 marked files\nfrom \t" + from + "/\nto   \t" + to + "/" + Hint);
    QCOMPARE(box.title, title);
    QCOMPARE(box.style, 292);
    QCOMPARE(readFile(to + "/one.txt"), QByteArray("1"));
    QCOMPARE(QFile::exists(from + "/one.txt"), index <= 2);
    QCOMPARE(f->form->Caption(), QStringLiteral("Dyadix"));
}

// No in the confirmation changes nothing, the window title included.
void tst_CopyMove::noInTheConfirmationChangesNothing()
{
    QVERIFY(writeFile(left() + "/a", "a", m_old));
    QVERIFY(writeFile(left() + "/b", "b", m_old));
    relist();
    tick(1, {"a", "b"});
    f->prompter.answer(MsgAnswer::No);
    f->form->mnuCopy(3)->trigger();
    QVERIFY(f->prompter.shown().front().text.startsWith("You are about to Move 2 marked files\n"));
    QCOMPARE(namesIn(right()), QStringList());
    QCOMPARE(namesIn(left()), (QStringList {"a", "b"}));
    QCOMPARE(f->form->pane(1).lstFiles.SelCount(), 2);
    QCOMPARE(f->form->Caption(), QStringLiteral("Dyadix - Windows File-Matching Program"));
}

// A copy keeps the source's time, unticks its line, lists no pane again and leaves the title
// "Dyadix"; the title named each file while it was copied.
void tst_CopyMove::copyCarriesTimeAndUnticks()
{
    QVERIFY(writeFile(left() + "/a.txt", "alpha", m_old));
    QVERIFY(writeFile(left() + "/b.txt", "beta", m_new));
    relist();
    tick(1, {"a.txt", "b.txt"});
    f->form->mnuOptionAction.trigger();
    QSignalSpy captions(f->form.get(), &FormModel::captionChanged);
    QStringList titles;
    connect(f->form.get(), &FormModel::captionChanged, [&] { titles << f->form->Caption(); });
    f->form->mnuCopy(1)->trigger();
    QCOMPARE(f->prompter.shown().size(), size_t(0));
    QCOMPARE(titles, (QStringList {"Copying " + left() + "/a.txt to " + right() + "/a.txt",
                                   "Copying " + left() + "/b.txt to " + right() + "/b.txt", "Dyadix"}));
    QCOMPARE(readFile(right() + "/a.txt"), QByteArray("alpha"));
    QCOMPARE(modifiedOf(right() + "/a.txt"), m_old);
    QCOMPARE(modifiedOf(right() + "/b.txt"), m_new);
    QCOMPARE(f->form->pane(1).lstFiles.SelCount(), 0);
    QCOMPARE(f->lines(2), QStringList());
}

// A target that is newer (with Mark Newer off) or bigger brings the question with both files'
// folder, name, date and size.
void tst_CopyMove::warnings_data()
{
    QTest::addColumn<bool>("targetNewer");
    QTest::addColumn<bool>("targetBigger");
    QTest::addColumn<QString>("title");
    QTest::newRow("newer") << true << false << "Target File is Newer!";
    QTest::newRow("bigger") << false << true << "Target File is Bigger!";
    QTest::newRow("newer and bigger") << true << true << "Target File is Newer and Bigger!";
}

void tst_CopyMove::warnings()
{
    QFETCH(bool, targetNewer);
    QFETCH(bool, targetBigger);
    QFETCH(QString, title);
    QVERIFY(writeFile(right() + "/doc.txt", QByteArray(5, 's'), m_old));
    QVERIFY(writeFile(left() + "/doc.txt", QByteArray(targetBigger ? 9 : 3, 't'), targetNewer ? m_new : m_old));
    relist();
    tick(2, {"doc.txt"});
    f->form->mnuOptionNewer.trigger();
    f->form->mnuOptionAction.trigger();
    f->prompter.answer(MsgAnswer::Yes);
    f->form->mnuCopy(4)->trigger();
    QCOMPARE(f->prompter.shown().size(), size_t(1));
    const PromptRecord &box = f->prompter.shown().front();
    QCOMPARE(box.title, title);
    QCOMPARE(box.style, 35);
    QCOMPARE(box.text, "Do you really want to copy\n\n" + right() + "/doc.txt\n2024/03/01 10:00 - 5 bytes\n\nover\n\n"
                           + left() + "/doc.txt\n" + (targetNewer ? "2024/03/05 16:45" : "2024/03/01 10:00")
                           + " - " + (targetBigger ? "9" : "3") + " bytes?");
    QCOMPARE(readFile(left() + "/doc.txt"), QByteArray(5, 's'));
    QVERIFY(!QFile::exists(right() + "/doc.txt"));
}

// With Mark Newer on, a later target that is not bigger is overwritten without a question.
void tst_CopyMove::noWarningWhenMarkNewerIsOn()
{
    QVERIFY(writeFile(left() + "/x", "new", m_old));
    QVERIFY(writeFile(right() + "/x", "old", m_new));
    relist();
    tick(1, {"x"});
    f->form->mnuOptionAction.trigger();
    f->form->mnuCopy(1)->trigger();
    QCOMPARE(f->prompter.shown().size(), size_t(0));
    QCOMPARE(readFile(right() + "/x"), QByteArray("new"));
    QCOMPARE(modifiedOf(right() + "/x"), m_old);
}

// Cancel in the question on the third of five files: two done, the rest untouched and ticked.
void tst_CopyMove::cancelOnTheThirdOfFive()
{
    for (const char *name : {"1", "2", "3", "4", "5"})
        QVERIFY(writeFile(left() + '/' + name, "s", m_old));
    QVERIFY(writeFile(right() + "/3", "bigger", m_old));
    relist();
    tick(1, {"1", "2", "3", "4", "5"});
    f->form->mnuOptionAction.trigger();
    f->prompter.answer(MsgAnswer::Cancel);
    f->form->mnuCopy(1)->trigger();
    QCOMPARE(namesIn(right()), (QStringList {"1", "2", "3"}));
    QCOMPARE(readFile(right() + "/3"), QByteArray("bigger"));
    const FileListModel &list = f->form->pane(1).lstFiles;
    QCOMPARE((QList<bool> {list.Selected(0), list.Selected(1), list.Selected(2), list.Selected(3), list.Selected(4)}),
             (QList<bool> {false, false, true, true, true}));
    QCOMPARE(f->form->Caption(), QStringLiteral("Dyadix"));
}

// No leaves the file alone and its line ticked, so the next run asks again.
void tst_CopyMove::noLeavesTheLineTicked()
{
    QVERIFY(writeFile(left() + "/k", "s", m_old));
    QVERIFY(writeFile(right() + "/k", "bigger", m_old));
    relist();
    tick(1, {"k"});
    f->form->mnuOptionAction.trigger();
    f->prompter.answer(MsgAnswer::No);
    f->form->mnuCopy(1)->trigger();
    QVERIFY(f->form->pane(1).lstFiles.Selected(0));
    f->prompter.answer(MsgAnswer::No);
    f->form->mnuCopy(1)->trigger();
    QCOMPARE(f->prompter.shown().size(), size_t(2));
    QCOMPARE(readFile(right() + "/k"), QByteArray("bigger"));
}

// A ticked placeholder names a file the source folder lacks: the copy fails with the error
// prompt. Abort stops, Retry asks again, Ignore unticks and goes on.
void tst_CopyMove::tickedPlaceholder_data()
{
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<bool>("stillTicked");
    QTest::addColumn<bool>("nextCopied");
    QTest::newRow("abort") << QList<int> {int(MsgAnswer::Abort)} << true << false;
    QTest::newRow("retry, ignore") << QList<int> {int(MsgAnswer::Retry), int(MsgAnswer::Ignore)} << false << true;
    QTest::newRow("ignore") << QList<int> {int(MsgAnswer::Ignore)} << false << true;
}

void tst_CopyMove::tickedPlaceholder()
{
    QFETCH(QList<int>, answers);
    QFETCH(bool, stillTicked);
    QFETCH(bool, nextCopied);
    QVERIFY(writeFile(right() + "/a-only-right", "r", m_old));
    QVERIFY(writeFile(left() + "/b-left", "l", m_old));
    f->form->mnuOptionWarn1.trigger();
    f->form->mnuOptionAction.trigger();
    relist();
    f->form->mnuMatch.trigger();
    f->form->pane(1).lstFiles.setSelected(0, true); // the placeholder of a-only-right
    for (int answer : answers)
        f->prompter.answer(MsgAnswer(answer));
    f->form->mnuCopy(1)->trigger();
    QCOMPARE(f->prompter.shown().size(), size_t(answers.size()));
    for (const PromptRecord &box : f->prompter.shown()) {
        QCOMPARE(box.text, QStringLiteral("Error 53\nFile not found"));
        QCOMPARE(box.title, QStringLiteral("Error!"));
        QCOMPARE(box.style, 34);
    }
    QCOMPARE(f->form->pane(1).lstFiles.Selected(0), stillTicked);
    QCOMPARE(QFile::exists(right() + "/b-left"), nextCopied);
    QCOMPARE(readFile(right() + "/a-only-right"), QByteArray("r"));
    QCOMPARE(f->form->Caption(), QStringLiteral("Dyadix"));
}

// When a move's copy fails (a full disk here), the source is kept whatever is answered.
void tst_CopyMove::moveWhoseCopyFailsKeepsTheSource_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("abort") << int(MsgAnswer::Abort);
    QTest::newRow("ignore") << int(MsgAnswer::Ignore);
}

void tst_CopyMove::moveWhoseCopyFailsKeepsTheSource()
{
    QFETCH(int, answer);
    QVERIFY(writeFile(left() + "/keep", "precious", m_old));
    QVERIFY(writeFile(left() + "/next", "n", m_old));
    relist();
    tick(1, {"keep", "next"});
    f->form->mnuOptionAction.trigger();
    f->fileSystem.failOn(FsOperation::FileCopy, ErrorNumber::DiskFull, 1, "/keep");
    f->prompter.answer(MsgAnswer(answer));
    f->form->mnuCopy(3)->trigger();
    QCOMPARE(f->prompter.shown().front().text, QStringLiteral("Error 61\nDisk full"));
    QCOMPARE(readFile(left() + "/keep"), QByteArray("precious"));
    QVERIFY(!QFile::exists(right() + "/keep"));
    QVERIFY(f->form->pane(1).lstFiles.Selected(0));
    // Ignore goes on with the next file; Abort ends the command.
    QCOMPARE(QFile::exists(right() + "/next"), answer == int(MsgAnswer::Ignore));
}

// A move whose delete fails: Ignore leaves both copies and unticks the line.
void tst_CopyMove::moveWhoseDeleteFails()
{
    QVERIFY(writeFile(right() + "/d", "data", m_old));
    relist();
    tick(2, {"d"});
    f->form->mnuOptionAction.trigger();
    f->fileSystem.failOn(FsOperation::Kill, ErrorNumber::PermissionDenied);
    f->prompter.answer(MsgAnswer::Ignore);
    f->form->mnuCopy(4)->trigger();
    QCOMPARE(f->prompter.shown().front().text, QStringLiteral("Error 70\nPermission denied"));
    QCOMPARE(readFile(right() + "/d"), QByteArray("data"));
    QCOMPARE(readFile(left() + "/d"), QByteArray("data"));
    QVERIFY(!f->form->pane(2).lstFiles.Selected(0));
}

QTEST_MAIN(tst_CopyMove)
#include "tst_copymove.moc"
