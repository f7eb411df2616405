#include "formfixture.h"
#include "tempfiles.h"

#include <QTest>

using namespace dyadix;
using namespace dyadix::test;

class tst_Selection : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void statusFollowsTicks_data();
    void statusFollowsTicks();
    void otherPaneUntouched();
    void mirrorTheOtherListCannotTake();
    void listingSwitchesMirroringOff();

private:
    std::unique_ptr<FormFixture> f;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_Selection::init()
{
    f = std::make_unique<FormFixture>();
    m_dir = std::make_unique<QTemporaryDir>();
    for (int i = 0; i < 30; ++i)
        QVERIFY(writeFile(m_dir->path() + QStringLiteral("/f%1").arg(i, 2, 10, QLatin1Char('0')),
                          "x", localTime(2024, 1, 1, 0, 0)));
    QVERIFY(f->show(1, m_dir->path()));
    QVERIFY(f->show(2, m_dir->path()));
}

// Ticks show as "N files selected." (or "1 file selected.") in blue, the listing's background
// stays, and the pane's three commands are available exactly while something is ticked.
void tst_Selection::statusFollowsTicks_data()
{
    QTest::addColumn<int>("pane");
    QTest::addColumn<QList<int>>("tick");
    QTest::addColumn<QList<int>>("untick");
    QTest::addColumn<QString>("status");
    QTest::newRow("one") << 1 << QList<int> {3} << QList<int>() << "1 file selected.";
    QTest::newRow("two") << 1 << QList<int> {3, 7} << QList<int>() << "2 files selected.";
    QTest::newRow("none left") << 2 << QList<int> {3, 7} << QList<int> {3, 7} << "0 files selected.";
    QTest::newRow("back to one") << 2 << QList<int> {1, 2} << QList<int> {1} << "1 file selected.";
}

void tst_Selection::statusFollowsTicks()
{
    QFETCH(int, pane);
    QFETCH(QList<int>, tick);
    QFETCH(QList<int>, untick);
    QFETCH(QString, status);
    FileListModel &list = f->form->pane(pane).lstFiles;
    const QColor background = f->form->pane(pane).txtStatus.BackColor();
    for (int row : tick)
        list.setSelected(row, true);
    for (int row : untick)
        list.setSelected(row, false);
    QCOMPARE(f->status(pane), status);
    QCOMPARE(f->form->pane(pane).txtStatus.ForeColor(), QColor(0, 0, 255));
    QCOMPARE(f->form->pane(pane).txtStatus.BackColor(), background);
    const bool any = list.SelCount() > 0;
    for (QAction *command : {f->form->mnuCopy(pane), f->form->mnuCopy(pane + 2), f->form->mnuDel(pane)})
        QCOMPARE(command->isEnabled(), any);
}

// Ticking in one pane never changes the other pane's status or commands.
void tst_Selection::otherPaneUntouched()
{
    const QString rightStatus = f->status(2);
    f->form->pane(1).lstFiles.setSelected(0, true);
    QCOMPARE(f->status(2), rightStatus);
    QCOMPARE(f->form->pane(2).txtStatus.ForeColor(), QColor(Qt::black));
    for (QAction *command : {f->form->mnuCopy(2), f->form->mnuCopy(4), f->form->mnuDel(2)})
        QVERIFY(!command->isEnabled());
    QVERIFY(f->form->mnuCopy(1)->isEnabled());
}

// A first line beyond the other list's end leaves that list where it is.
void tst_Selection::mirrorTheOtherListCannotTake()
{
    f->form->txtSelect.setText("f0*");
    QVERIFY(f->show(2, m_dir->path()));
    f->form->mnuOptionSynch.trigger();
    f->form->pane(1).lstFiles.viewScrolled(5);
    QCOMPARE(f->form->pane(2).lstFiles.TopIndex(), 5);
    f->form->pane(1).lstFiles.viewScrolled(20);
    QCOMPARE(f->form->pane(2).lstFiles.TopIndex(), 5);
    QCOMPARE(f->prompter.shown().size(), size_t(0));
}

// Listing a pane switches synchronised scrolling off even when the user switched it on.
void tst_Selection::listingSwitchesMirroringOff()
{
    f->form->mnuOptionSynch.trigger();
    QVERIFY(f->form->mnuOptionSynch.isChecked());
    QVERIFY(f->show(1, m_dir->path()));
    QVERIFY(!f->form->mnuOptionSynch.isChecked());
    f->form->pane(1).lstFiles.viewScrolled(4);
    QCOMPARE(f->form->pane(2).lstFiles.TopIndex(), 0);
}

QTEST_MAIN(tst_Selection)
#include "tst_selection.moc"
