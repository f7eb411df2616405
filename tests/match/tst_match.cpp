#include "formfixture.h"
#include "tempfiles.h"

#include "match/match.h"

#include <QDir>
#include <QTest>

using namespace dyadix;
using namespace dyadix::test;

class tst_Match : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void results_data();
    void results();
    void synchronisedScrollingAfterMatch();
    void matchTwiceGivesTheSameLists();
    void caseTwinsInOneFolder();
    void commandsFollowTheTicks();
    void whyTicked_data();
    void whyTicked();
    void markNewerClick();

private:
    // "name@yyyy-mm-dd hh:mm:ss#size" files in a pane's folder.
    void makeFiles(const QString &folder, const QStringList &files);
    // Lines as "name" (listed), "name~" (placeholder), with "+" when ticked.
    QStringList summary(int index) const;

    std::unique_ptr<FormFixture> f;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_Match::init()
{
    f = std::make_unique<FormFixture>();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir(m_dir->path()).mkdir("L"));
    QVERIFY(QDir(m_dir->path()).mkdir("R"));
    QVERIFY(f->show(1, m_dir->path() + "/L"));
    QVERIFY(f->show(2, m_dir->path() + "/R"));
}

void tst_Match::makeFiles(const QString &folder, const QStringList &files)
{
    for (const QString &file : files) {
        const QString name = file.section('@', 0, 0);
        const QString when = file.section('@', 1).section('#', 0, 0);
        const int size = file.contains('#') ? file.section('#', 1).toInt() : 1;
        const QDateTime time = QDateTime::fromString(when, "yyyy-MM-dd hh:mm:ss");
        QVERIFY2(time.isValid(), qPrintable(file));
        QVERIFY(writeFile(folder + '/' + name, QByteArray(size, 'x'), time.toSecsSinceEpoch()));
    }
}

QStringList tst_Match::summary(int index) const
{
    QStringList result;
    const FileListModel &list = f->form->pane(index).lstFiles;
    for (int i = 0; i < list.ListCount(); ++i) {
        const PaneEntry &entry = list.entry(i);
        result << entry.name + (entry.placeholder ? "~" : "") + (list.Selected(i) ? "+" : "");
    }
    return result;
}

// Every situation of a pair, and of a file on one side only, with Mark Newer on and off.
void tst_Match::results_data()
{
    QTest::addColumn<QStringList>("left");
    QTest::addColumn<QStringList>("right");
    QTest::addColumn<bool>("markNewer");
    QTest::addColumn<QStringList>("leftAfter");
    QTest::addColumn<QStringList>("rightAfter");
    const QString t1 = "2024-03-01 10:00:00", t2 = "2024-03-02 09:30:00";
    QTest::newRow("only left") << QStringList {"a.txt@" + t1} << QStringList() << true
                               << QStringList {"a.txt+"} << QStringList {"a.txt~"};
    QTest::newRow("only right") << QStringList() << QStringList {"a.txt@" + t1} << true
                                << QStringList {"a.txt~"} << QStringList {"a.txt+"};
    QTest::newRow("same date") << QStringList {"a.txt@" + t1} << QStringList {"a.txt@" + t1}
                               << true << QStringList {"a.txt"} << QStringList {"a.txt"};
    QTest::newRow("left later, newer on") << QStringList {"a.txt@" + t2} << QStringList {"a.txt@" + t1}
                                          << true << QStringList {"a.txt+"} << QStringList {"a.txt"};
    QTest::newRow("left later, newer off") << QStringList {"a.txt@" + t2} << QStringList {"a.txt@" + t1}
                                           << false << QStringList {"a.txt"} << QStringList {"a.txt+"};
    QTest::newRow("right later, newer on") << QStringList {"a.txt@" + t1} << QStringList {"a.txt@" + t2}
                                           << true << QStringList {"a.txt"} << QStringList {"a.txt+"};
    QTest::newRow("right later, newer off") << QStringList {"a.txt@" + t1} << QStringList {"a.txt@" + t2}
                                            << false << QStringList {"a.txt+"} << QStringList {"a.txt"};
    QTest::newRow("only-one-side files with newer off")
        << QStringList {"a@" + t1, "c@" + t2} << QStringList {"b@" + t1, "c@" + t1} << false
        << QStringList {"a+", "b~", "c"} << QStringList {"a~", "b+", "c+"};
    QTest::newRow("both empty") << QStringList() << QStringList() << true << QStringList() << QStringList();
    QTest::newRow("one empty") << QStringList {"x@" + t1, "b@" + t1, "m@" + t2} << QStringList() << true
                               << QStringList {"b+", "m+", "x+"} << QStringList {"b~", "m~", "x~"};
    QTest::newRow("names differing in case")
        << QStringList {"ABC.TXT@" + t2} << QStringList {"abc.txt@" + t1} << true
        << QStringList {"ABC.TXT+"} << QStringList {"abc.txt"};
    QTest::newRow("same minute, other sizes")
        << QStringList {"a@2024-03-01 10:00:00#10"} << QStringList {"a@2024-03-01 10:00:00#99999"} << true
        << QStringList {"a"} << QStringList {"a"};
    QTest::newRow("seconds within a minute")
        << QStringList {"a@2024-03-01 10:00:05"} << QStringList {"a@2024-03-01 10:00:55"} << true
        << QStringList {"a"} << QStringList {"a"};
    QTest::newRow("a name that begins another")
        << QStringList {"ab@" + t1, "ab.c@" + t1} << QStringList {"ab.c@" + t1, "abc@" + t1} << true
        << QStringList {"ab+", "ab.c", "abc~"} << QStringList {"ab~", "ab.c", "abc+"};
}

void tst_Match::results()
{
    QFETCH(QStringList, left);
    QFETCH(QStringList, right);
    QFETCH(bool, markNewer);
    QFETCH(QStringList, leftAfter);
    QFETCH(QStringList, rightAfter);
    makeFiles(m_dir->path() + "/L", left);
    makeFiles(m_dir->path() + "/R", right);
    if (!markNewer)
        f->form->mnuOptionNewer.trigger();
    f->form->mnuMatch.trigger();
    QCOMPARE(summary(1), leftAfter);
    QCOMPARE(summary(2), rightAfter);
    QCOMPARE(f->form->pane(1).lstFiles.ListCount(), f->form->pane(2).lstFiles.ListCount());
    QCOMPARE(f->prompter.shown().size(), size_t(0));
}

// Match switches synchronised scrolling on, even when nothing was ticked, and shows the
// selection counts of both panes.
void tst_Match::synchronisedScrollingAfterMatch()
{
    f->form->mnuMatch.trigger();
    QVERIFY(f->form->mnuOptionSynch.isChecked());
    makeFiles(m_dir->path() + "/L", {"a@2024-03-01 10:00:00", "b@2024-03-01 10:00:00"});
    makeFiles(m_dir->path() + "/R", {"a@2024-03-01 10:00:00"});
    f->form->mnuMatch.trigger();
    QVERIFY(f->form->mnuOptionSynch.isChecked());
    QCOMPARE(f->status(1), QStringLiteral("1 file selected."));
    QCOMPARE(f->status(2), QStringLiteral("0 files selected."));
}

// A second Match lists both panes again first, so it gives the very same lists.
void tst_Match::matchTwiceGivesTheSameLists()
{
    makeFiles(m_dir->path() + "/L", {"a@2024-03-01 10:00:00", "b@2024-03-02 10:00:00", "d@2024-03-01 10:00:00"});
    makeFiles(m_dir->path() + "/R", {"b@2024-03-01 10:00:00", "c@2024-03-01 10:00:00", "d@2024-03-01 10:00:00"});
    f->form->mnuMatch.trigger();
    const QStringList left = summary(1), right = summary(2);
    QCOMPARE(left, (QStringList {"a+", "b+", "c~", "d"}));
    f->form->mnuMatch.trigger();
    QCOMPARE(summary(1), left);
    QCOMPARE(summary(2), right);
    QCOMPARE(f->lines(1).at(2), QStringLiteral("c\t\t"));
}

// Two files whose names differ only in case in one folder both stay listed and are paired.
void tst_Match::caseTwinsInOneFolder()
{
    makeFiles(m_dir->path() + "/L", {"read.me@2024-03-01 10:00:00", "READ.ME@2024-03-05 10:00:00"});
    makeFiles(m_dir->path() + "/R", {"Read.Me@2024-03-03 10:00:00"});
    f->form->mnuMatch.trigger();
    QCOMPARE(summary(1), (QStringList {"read.me+", "READ.ME+"}));
    QCOMPARE(summary(2), (QStringList {"read.me~", "Read.Me"}));
}

// After Match, a pane with ticked lines offers its copy, move and delete.
void tst_Match::commandsFollowTheTicks()
{
    makeFiles(m_dir->path() + "/L", {"a@2024-03-01 10:00:00"});
    makeFiles(m_dir->path() + "/R", {"a@2024-03-01 10:00:00", "b@2024-03-01 10:00:00"});
    f->form->mnuMatch.trigger();
    for (QAction *command : {f->form->mnuCopy(1), f->form->mnuCopy(3), f->form->mnuDel(1)})
        QVERIFY(!command->isEnabled());
    for (QAction *command : {f->form->mnuCopy(2), f->form->mnuCopy(4), f->form->mnuDel(2)})
        QVERIFY(command->isEnabled());
}

// A ticked line's tool tip says why it is ticked.
void tst_Match::whyTicked_data()
{
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("right");
    QTest::addColumn<bool>("markNewer");
    QTest::addColumn<QString>("leftTip");
    QTest::addColumn<QString>("rightTip");
    QTest::newRow("only here") << "a@2024-03-01 10:00:00" << "" << true << "Only in this pane" << "";
    QTest::newRow("minutes") << "a@2024-03-01 10:07:00" << "a@2024-03-01 10:00:00" << true
                             << "Later than the other pane's copy by 7 minutes" << "";
    QTest::newRow("one minute") << "a@2024-03-01 10:01:00" << "a@2024-03-01 10:00:59" << true
                                << "Later than the other pane's copy by 1 minute" << "";
    QTest::newRow("hours") << "a@2024-03-01 10:00:00" << "a@2024-03-01 15:10:00" << true
                           << "" << "Later than the other pane's copy by 5 hours";
    QTest::newRow("days") << "a@2024-03-09 10:00:00" << "a@2024-03-01 10:00:00" << true
                          << "Later than the other pane's copy by 8 days" << "";
    QTest::newRow("earlier") << "a@2024-03-01 10:00:00" << "a@2024-03-01 13:00:00" << false
                             << "Earlier than the other pane's copy by 3 hours" << "";
}

void tst_Match::whyTicked()
{
    QFETCH(QString, left);
    QFETCH(QString, right);
    QFETCH(bool, markNewer);
    QFETCH(QString, leftTip);
    QFETCH(QString, rightTip);
    makeFiles(m_dir->path() + "/L", {left});
    if (!right.isEmpty())
        makeFiles(m_dir->path() + "/R", {right});
    if (!markNewer)
        f->form->mnuOptionNewer.trigger();
    f->form->mnuMatch.trigger();
    const FileListModel &l = f->form->pane(1).lstFiles;
    const FileListModel &r = f->form->pane(2).lstFiles;
    QCOMPARE(l.data(l.index(0, 0), Qt::ToolTipRole).toString(), leftTip);
    QCOMPARE(r.data(r.index(0, 0), Qt::ToolTipRole).toString(), rightTip);
    // Unticking takes the reason away.
    f->form->pane(1).lstFiles.setSelected(0, false);
    QCOMPARE(l.data(l.index(0, 0), Qt::ToolTipRole).toString(), QString());
}

// "Mark Newer" is on at start; a click turns it off and the next Match ticks the earlier copy.
void tst_Match::markNewerClick()
{
    QVERIFY(f->form->mnuOptionNewer.isChecked());
    makeFiles(m_dir->path() + "/L", {"a@2024-03-01 10:00:00"});
    makeFiles(m_dir->path() + "/R", {"a@2024-03-02 10:00:00"});
    f->form->mnuMatch.trigger();
    QCOMPARE(summary(2), QStringList {"a+"});
    f->form->mnuOptionNewer.trigger();
    QVERIFY(!f->form->mnuOptionNewer.isChecked());
    QCOMPARE(summary(2), QStringList {"a+"});
    f->form->mnuMatch.trigger();
    QCOMPARE(summary(1), QStringList {"a+"});
    QCOMPARE(summary(2), QStringList {"a"});
}

QTEST_MAIN(tst_Match)
#include "tst_match.moc"
