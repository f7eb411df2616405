#include "panes/filelistmodel.h"

#include <QAbstractItemModelTester>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

using namespace dyadix;

class tst_FileListModel : public QObject
{
    Q_OBJECT

private slots:
    void addItemKeepsOrder();
    void addItemsMergesWithExistingLines();
    void bulkMergeMatchesOneByOne();
    void ticksAndCount();
    void removeItemKeepsOtherTicks();
    void topIndexRange();
    void viewScrollSignalsOnlyUserScrolls();
    void displayColumns();

private:
    static QStringList names(const FileListModel &model);
};

QStringList tst_FileListModel::names(const FileListModel &model)
{
    QStringList result;
    for (int i = 0; i < model.ListCount(); ++i)
        result << model.entry(i).name;
    return result;
}

// A line added one at a time lands at its sorted place.
void tst_FileListModel::addItemKeepsOrder()
{
    FileListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    for (const char *name : {"delta", "Alpha", "charlie", "bravo", "alpha.txt"})
        model.AddItem(PaneEntry::listed(name, "2024/01/01 00:00", 1));
    QCOMPARE(names(model), (QStringList {"Alpha", "alpha.txt", "bravo", "charlie", "delta"}));
    QCOMPARE(model.List(0), QStringLiteral("Alpha\t2024/01/01 00:00\t       1"));
}

// Placeholders merged into a list keep the ticks of the lines already there.
void tst_FileListModel::addItemsMergesWithExistingLines()
{
    FileListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.addItems({PaneEntry::listed("b", "2024/01/01 00:00", 1),
                    PaneEntry::listed("d", "2024/01/01 00:00", 1)});
    model.setSelected(1, true);
    model.addItems({PaneEntry::placeholderFor("e"), PaneEntry::placeholderFor("a"),
                    PaneEntry::placeholderFor("c")});
    QCOMPARE(names(model), (QStringList {"a", "b", "c", "d", "e"}));
    QVERIFY(model.Selected(3));
    QCOMPARE(model.SelCount(), 1);
    QCOMPARE(model.List(2), QStringLiteral("c\t\t"));
}

// Sorting a batch once and merging gives the same list as adding line by line.
void tst_FileListModel::bulkMergeMatchesOneByOne()
{
    QRandomGenerator random(20261206);
    std::vector<PaneEntry> entries;
    const QString letters = QStringLiteral("aAbB._-~ 1");
    for (int i = 0; i < 2000; ++i) {
        QString name;
        const int length = random.bounded(1, 6);
        for (int k = 0; k < length; ++k)
            name += letters[random.bounded(letters.size())];
        entries.push_back(PaneEntry::listed(name, "2024/01/01 00:00", random.bounded(5)));
    }
    FileListModel oneByOne;
    for (const PaneEntry &entry : entries)
        oneByOne.AddItem(entry);
    FileListModel merged;
    merged.addItems(std::vector<PaneEntry>(entries.begin(), entries.begin() + 700));
    merged.addItems(std::vector<PaneEntry>(entries.begin() + 700, entries.end()));
    QCOMPARE(merged.ListCount(), oneByOne.ListCount());
    for (int i = 0; i < merged.ListCount(); ++i)
        QCOMPARE(merged.List(i), oneByOne.List(i));
}

// Every tick change goes through setSelected, which counts it and signals it.
void tst_FileListModel::ticksAndCount()
{
    FileListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.addItems({PaneEntry::listed("a", "", 1), PaneEntry::listed("b", "", 1),
                    PaneEntry::listed("c", "", 1)});
    QSignalSpy ticks(&model, &FileListModel::ticksChanged);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.setSelected(0, true);
    model.setSelected(2, true);
    QCOMPARE(model.SelCount(), 2);
    QCOMPARE(ticks.count(), 2);
    QCOMPARE(changed.count(), 2);
    // Through the view's check box, as a click does.
    QVERIFY(model.setData(model.index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
    QCOMPARE(model.SelCount(), 1);
    QCOMPARE(model.data(model.index(2, 0), Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
    // Setting a tick it already has still runs the selection handling, but counts nothing.
    model.setSelected(2, true);
    QCOMPARE(model.SelCount(), 1);
    QCOMPARE(ticks.count(), 4);
    QCOMPARE(changed.count(), 3);
}

// Removing a line keeps the other lines, their order and their ticks.
void tst_FileListModel::removeItemKeepsOtherTicks()
{
    FileListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.addItems({PaneEntry::listed("0", "", 0), PaneEntry::listed("1", "", 0),
                    PaneEntry::listed("2", "", 0), PaneEntry::listed("3", "", 0)});
    model.setSelected(1, true);
    model.setSelected(3, true);
    model.RemoveItem(3);
    QCOMPARE(names(model), (QStringList {"0", "1", "2"}));
    QCOMPARE(model.SelCount(), 1);
    QVERIFY(model.Selected(1));
    model.RemoveItem(7);
    QCOMPARE(model.ListCount(), 3);
}

// A first line the list cannot show is refused and leaves the position as it was.
void tst_FileListModel::topIndexRange()
{
    FileListModel model;
    std::vector<PaneEntry> entries;
    for (int i = 0; i < 20; ++i)
        entries.push_back(PaneEntry::listed(QString::number(100 + i), "", 0));
    model.addItems(entries);
    QSignalSpy requested(&model, &FileListModel::topIndexRequested);
    QVERIFY(model.setTopIndex(10));
    QCOMPARE(model.TopIndex(), 10);
    QVERIFY(!model.setTopIndex(20));
    QVERIFY(!model.setTopIndex(-1));
    QCOMPARE(model.TopIndex(), 10);
    QCOMPARE(requested.count(), 1);
}

// Only a scroll that the user makes is reported, so mirrored lists never echo each other.
void tst_FileListModel::viewScrollSignalsOnlyUserScrolls()
{
    FileListModel model;
    model.addItems({PaneEntry::listed("a", "", 0), PaneEntry::listed("b", "", 0),
                    PaneEntry::listed("c", "", 0)});
    // The view answers a requested position at once, as a scroll bar does.
    connect(&model, &FileListModel::topIndexRequested, &model,
            [&model](int row) { model.viewScrolled(row); });
    QSignalSpy scrolled(&model, &FileListModel::scrolled);
    model.viewScrolled(2);
    QCOMPARE(scrolled.count(), 1);
    QCOMPARE(model.TopIndex(), 2);
    QVERIFY(model.setTopIndex(1));
    QCOMPARE(scrolled.count(), 1);
    QCOMPARE(model.TopIndex(), 1);
}

// The view shows name, date and right-aligned size; a placeholder has no date or size.
void tst_FileListModel::displayColumns()
{
    FileListModel model;
    model.addItems({PaneEntry::listed("a\tb", "2024/01/05 07:03", 123), PaneEntry::placeholderFor("z")});
    QCOMPARE(model.data(model.index(0, 0)).toString(), QString("a") + QChar(0x2409) + "b");
    QCOMPARE(model.data(model.index(0, 1)).toString(), QStringLiteral("2024/01/05 07:03"));
    QCOMPARE(model.data(model.index(0, 2)).toString(), QStringLiteral("123"));
    QCOMPARE(model.data(model.index(0, 2), Qt::TextAlignmentRole).value<Qt::Alignment>(),
             Qt::AlignRight | Qt::AlignVCenter);
    QCOMPARE(model.data(model.index(1, 1)).toString(), QString());
    QCOMPARE(model.data(model.index(1, 2)).toString(), QString());
    QCOMPARE(model.data(model.index(0, 0), FileListModel::LineTextRole).toString(),
             QStringLiteral("a\tb\t2024/01/05 07:03\t     123"));
}

QTEST_GUILESS_MAIN(tst_FileListModel)
#include "tst_filelistmodel.moc"
