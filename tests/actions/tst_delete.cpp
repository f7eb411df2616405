#include "formfixture.h"
#include "tempfiles.h"

#include <QDir>
#include <QTest>

using namespace dyadix;
using namespace dyadix::test;

class tst_Delete : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void confirmation_data();
    void confirmation();
    void lastFileFirstWithoutConfirmation();
    void nonAdjacentLines();
    void tickedPlaceholder_data();
    void tickedPlaceholder();
    void afterMatchOnlyOnePaneChanges();

private:
    QString folder() const { return m_dir->path(); }
    std::unique_ptr<FormFixture> f;
    std::unique_ptr<QTemporaryDir> m_dir;
    QStringList m_titles;
};

void tst_Delete::init()
{
    f = std::make_unique<FormFixture>();
    m_dir = std::make_unique<QTemporaryDir>();
    m_titles.clear();
    connect(f->form.get(), &FormModel::captionChanged, [this] { m_titles << f->form->Caption(); });
}

// Each pane's delete asks with its own title, the count in the plural wording and the folder.
void tst_Delete::confirmation_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("answer");
    QTest::newRow("left, yes") << 1 << "DELETE from >> Left?" << int(MsgAnswer::Yes);
    QTest::newRow("right, yes") << 2 << "DELETE from Right <<?" << int(MsgAnswer::Yes);
    QTest::newRow("left, no") << 1 << "DELETE from >> Left?" << int(MsgAnswer::No);
}

void tst_Delete::confirmation()
{
    QFETCH(int, index);
    QFETCH(QString, title);
    QFETCH(int, answer);
    QVERIFY(writeFile(folder() + "/victim", "v"));
    QVERIFY(f->show(index, folder()));
    f->form->pane(index).lstFiles.setSelected(0, true);
    f->prompter.answer(MsgAnswer(answer));
    f->form->mnuDel(index)->trigger();
    const PromptRecord &box = f->prompter.shown().front();
    QCOMPARE(box.title, title);
    QCOMPARE(box.style, 292);
    QCOMPARE(box.text, "You are about to DELETE 1 marked files from\n" + folder()
                           + "/\n\nThis can not be undone!\nAre you SURE you want to do this?\n"
                             "(to turn this message off for this session,\n"
                             "click Options > Warn before Actions OFF)");
    const bool yes = answer == int(MsgAnswer::Yes);
    QCOMPARE(QFile::exists(folder() + "/victim"), !yes);
    QCOMPARE(f->form->pane(index).lstFiles.ListCount(), yes ? 0 : 1);
    QCOMPARE(f->form->Caption(), yes ? QStringLiteral("Dyadix") : FormModel::DesignedCaption);
}

// Without confirmation the last ticked file goes first, the title naming each.
void tst_Delete::lastFileFirstWithoutConfirmation()
{
    for (const char *name : {"a", "b", "c"})
        QVERIFY(writeFile(folder() + '/' + name, "x"));
    QVERIFY(f->show(1, folder()));
    f->form->pane(1).lstFiles.setSelected(0, true);
    f->form->pane(1).lstFiles.setSelected(2, true);
    f->form->mnuOptionAction.trigger();
    f->form->mnuDel(1)->trigger();
    QCOMPARE(m_titles, (QStringList {"Deleting " + folder() + "/c", "Deleting " + folder() + "/a", "Dyadix"}));
    QCOMPARE(namesIn(folder()), QStringList {"b"});
}

// Lines 2 and 5 of six: both files and lines go; the other four stay, unticked, in order.
void tst_Delete::nonAdjacentLines()
{
    for (const char *name : {"0", "1", "2", "3", "4", "5"})
        QVERIFY(writeFile(folder() + '/' + name, "x"));
    QVERIFY(f->show(2, folder()));
    f->form->pane(2).lstFiles.setSelected(2, true);
    f->form->pane(2).lstFiles.setSelected(5, true);
    f->prompter.answer(MsgAnswer::Yes);
    f->form->mnuDel(2)->trigger();
    QCOMPARE(namesIn(folder()), (QStringList {"0", "1", "3", "4"}));
    QStringList names;
    for (const QString &line : f->lines(2))
        names << line.section('\t', 0, 0);
    QCOMPARE(names, (QStringList {"0", "1", "3", "4"}));
    QCOMPARE(f->form->pane(2).lstFiles.SelCount(), 0);
}

// A ticked placeholder has no file to delete: the error prompt comes; Ignore still takes the
// line out, Abort leaves it.
void tst_Delete::tickedPlaceholder_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("linesLeft");
    QTest::newRow("ignore") << int(MsgAnswer::Ignore) << 1;
    QTest::newRow("abort") << int(MsgAnswer::Abort) << 2;
}

void tst_Delete::tickedPlaceholder()
{
    QFETCH(int, answer);
    QFETCH(int, linesLeft);
    QVERIFY(QDir(folder()).mkdir("L"));
    QVERIFY(QDir(folder()).mkdir("R"));
    QVERIFY(writeFile(folder() + "/R/only-right", "r"));
    QVERIFY(writeFile(folder() + "/L/z-left", "l"));
    QVERIFY(f->show(1, folder() + "/L"));
    QVERIFY(f->show(2, folder() + "/R"));
    f->form->mnuMatch.trigger();
    f->form->pane(1).lstFiles.setSelected(0, true);
    f->form->pane(1).lstFiles.setSelected(1, false);
    f->form->mnuOptionAction.trigger();
    f->prompter.answer(MsgAnswer(answer));
    f->form->mnuDel(1)->trigger();
    QCOMPARE(f->prompter.shown().front().text, QStringLiteral("Error 53\nFile not found"));
    QCOMPARE(f->prompter.shown().front().title, QStringLiteral("Error!"));
    QCOMPARE(f->form->pane(1).lstFiles.ListCount(), linesLeft);
    QCOMPARE(readFile(folder() + "/R/only-right"), QByteArray("r"));
    QCOMPARE(f->form->Caption(), QStringLiteral("Dyadix"));
}

// After Match, deleting in one pane leaves the other pane's list as it was.
void tst_Delete::afterMatchOnlyOnePaneChanges()
{
    QVERIFY(QDir(folder()).mkdir("L"));
    QVERIFY(QDir(folder()).mkdir("R"));
    QVERIFY(writeFile(folder() + "/L/a", "a", localTime(2024, 1, 2, 3, 4)));
    QVERIFY(writeFile(folder() + "/R/a", "a", localTime(2024, 1, 1, 3, 4)));
    QVERIFY(writeFile(folder() + "/R/b", "b"));
    QVERIFY(f->show(1, folder() + "/L"));
    QVERIFY(f->show(2, folder() + "/R"));
    f->form->mnuMatch.trigger();
    const QStringList right = f->lines(2);
    f->form->mnuOptionAction.trigger();
    f->form->mnuDel(1)->trigger();
    QCOMPARE(f->lines(2), right);
    QCOMPARE(f->lines(1), QStringList {"b\t\t"});
}

QTEST_MAIN(tst_Delete)
#include "tst_delete.moc"
