#include "panes/dirlistmodel.h"
#include "panes/shortname.h"

#include "fixture.h"

#include <QAbstractItemModelTester>
#include <QRandomGenerator>
#include <QSignalSpy>


using namespace dyadix;
using namespace dyadix::test;

namespace {
PaneEntry listed(const QString &name, std::int64_t size = 1, const QString &date = "2024/01/05 07:03")
{
    return PaneEntry::listed(name, date, size);
}
// Random names that share beginnings, differ in case and hold TABs and letters folding to ASCII.
QString randomName(QRandomGenerator &random)
{
    static const QStringList pieces {"a", "A", "b", "_", "~", " ", ".", "0", "\t", "é", "É", "\u212A", "k", "\u017F", "s", "ß", "日"};
    QString name = random.bounded(2) ? QStringLiteral("IMG_0000").left(random.bounded(9)) : QString();
    for (int k = random.bounded(1, 6); k > 0; --k)
        name += pieces[random.bounded(pieces.size())];
    return name;
}
} // namespace

// The lines of a pane, their order and ticks, and the folder list.
class tst_Panes : public QObject
{
    Q_OBJECT
    NativeFileSystem fs;

private slots:
    // Names compare without case, a name before those it begins; odd characters show on one line.
    void namesInOrder()
    {
        const std::pair<QString, QString> pairs[] = {{"abc.txt", "ABD.TXT"}, {"abc", "abc.txt"}, {"x", "x\x01"},
                                                     {"name", "name\ttab"}, {"A_b", "a~"}, {"", "!"}, {"Yak", "zebra"}};
        for (const auto &[lower, higher] : pairs) {
            QVERIFY2(compareNames(lower, higher) < 0 && compareNames(higher, lower) > 0, qPrintable(higher));
            QCOMPARE(compareNames(higher.toUpper(), higher.toLower()), 0);
        }
        QCOMPARE(displayName("a b\tb\nc"), QString("a b\u2409b\u240Ac"));
        QCOMPARE(displayName(QString("caf") + QChar(0xDCE9)) + displayName("😀"), QString("caf\uFFFD😀"));
    }

    // A name too long for its column gives up a path's folders first, from the last one up, then the middle of the file's own
    // name, its end (the type) longest; a character that takes two is never halved. Widths here: one a character.
    void namesShortened_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("shown");
        const QString picnic = "2024/06/family picnic by the lake.jpg";
        QTest::newRow("fits") << picnic << 37 << picnic;
        QTest::newRow("last folder") << picnic << 36 << "2024/\u2026/family picnic by the lake.jpg";
        QTest::newRow("every folder") << picnic << 35 << "\u2026/family picnic by the lake.jpg";
        QTest::newRow("then the name's middle") << picnic << 20 << "\u2026/famil\u2026the lake.jpg";
        QTest::newRow("too short for the folders' ellipsis") << picnic << 9 << "fa\u2026ke.jpg";
        QTest::newRow("deep, one folder kept") << "a/b/c/d/file.txt" << 14 << "a/b/\u2026/file.txt";
        QTest::newRow("a plain name") << "notes.txt" << 6 << "n\u2026.txt";
        QTest::newRow("only the ellipsis") << "notes.txt" << 1 << "\u2026";
        QTest::newRow("no half of a pair") << "\U0001F600\U0001F600\U0001F600.txt" << 7 << "\U0001F600\u2026.txt"; // 😀 takes two
    }
    void namesShortened()
    {
        QFETCH(QString, name);
        QFETCH(int, width);
        QFETCH(QString, shown);
        QCOMPARE(shortenedName(name, width, [](const QString &text) { return int(text.size()); }), shown);
    }

    // A date in its short form: the day and time this year, the day alone before; any other text as it is.
    void datesShortened()
    {
        QCOMPARE(QStringList({shortDateText("2024/06/12 18:30", 2024), shortDateText("2023/12/24 09:05", 2024), shortDateText("", 2024), shortDateText("12:30", 2024)}).join('|'),
                 QStringLiteral("06/12 18:30|2023/12/24||12:30"));
    }

    // Lines stay in name order (names one but for case in the order of their characters), placeholders first, however they come,
    // and ticks stay with them.
    void listOrder()
    {
        QRandomGenerator random(20261206);
        std::vector<PaneEntry> entries;
        for (int i = 0; i < 1500; ++i) {
            const QString name = randomName(random);
            entries.push_back(random.bounded(5) == 0 ? PaneEntry::placeholderFor(name)
                                                     : listed(name, random.bounded(3), QString("2024/01/0%1 00:00").arg(random.bounded(3) + 1)));
        }
        std::vector<PaneEntry> sorted = entries, quick = entries;
        std::sort(sorted.begin(), sorted.end(), entryLess);
        sortEntries(quick);
        for (size_t i = 1; i < entries.size(); ++i) {
            QCOMPARE(quick[i].text(), sorted[i].text());
            const int order = compareNames(sorted[i - 1].name, sorted[i].name), exactly = sorted[i - 1].name.compare(sorted[i].name);
            QVERIFY(order < 0 || (order == 0 && (exactly < 0 || (exactly == 0 && (sorted[i - 1].placeholder || !sorted[i].placeholder)))));
        }
        FileListModel oneByOne, merged;
        QAbstractItemModelTester tester(&merged, QAbstractItemModelTester::FailureReportingMode::QtTest);
        for (size_t i = 0; i < 200; ++i)
            oneByOne.AddItem(entries[i]);
        merged.addItems({entries.begin(), entries.begin() + 120});
        merged.setSelected(7, true);
        const QString ticked = merged.List(7);
        merged.addItems({entries.begin() + 120, entries.begin() + 200});
        // Kept in one byte a character or in UTF-16, the names sort as their strings do.
        std::vector<PaneEntry> first(entries.begin(), entries.begin() + 200);
        std::sort(first.begin(), first.end(), entryLess);
        for (int i = 0; i < merged.ListCount(); ++i) {
            QCOMPARE(merged.List(i), first[size_t(i)].text());
            QCOMPARE(merged.List(i), oneByOne.List(i));
            QVERIFY(!merged.Selected(i) || merged.List(i) == ticked);
        }
        QCOMPARE(merged.SelCount(), 1);
    }

    // Ticks count and signal, the view shows the cells, and only a user's scroll is reported.
    void listModel()
    {
        FileListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.addItems({listed("a\tb", 123), listed("c"), PaneEntry::placeholderFor("d"), listed("e")});
        QSignalSpy ticks(&model, &FileListModel::ticksChanged), changed(&model, &QAbstractItemModel::dataChanged);
        { FileListModel::TickBatch match(model); model.setSelected(0, true); model.setSelected(3, true); } // one repaint, first row to last
        model.setSelected(3, true); // runs the handling again but counts nothing
        QVERIFY(model.setData(model.index(1, 0), Qt::Checked, Qt::CheckStateRole));
        QVERIFY(model.setData(model.index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
        QCOMPARE(summaryOf(model) + QString(" %1 %2 %3").arg(model.SelCount()).arg(ticks.count()).arg(changed.count()), QStringLiteral("a\tb c+ d~ e+ 2 4 3"));
        QCOMPARE(model.data(model.index(3, 0), Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
        QStringList cells;
        for (int row : {0, 2})
            for (int column : {0, 1, 2})
                cells << model.data(model.index(row, column)).toString();
        QCOMPARE(cells, (QStringList {"a\u2409b", "2024/01/05 07:03", "123", "d", "", ""}));
        QCOMPARE(model.data(model.index(0, 2), Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::AlignRight | Qt::AlignVCenter);
        QCOMPARE(model.List(0), QStringLiteral("a\tb\t2024/01/05 07:03\t     123"));
        model.RemoveItem(3);
        model.RemoveItem(model.ListCount()); // one past the last line: nothing
        QCOMPARE(summaryOf(model) + ' ' + QString::number(model.SelCount()), QStringLiteral("a\tb c+ d~ 1"));
        ListScroll &scroll = model.scrollPosition();
        connect(&scroll, &ListScroll::topIndexRequested, &scroll, [&scroll](int row) { scroll.viewScrolled(row); });
        QSignalSpy scrolled(&scroll, &ListScroll::scrolled);
        QVERIFY(model.setTopIndex(2));
        QVERIFY(!model.setTopIndex(3) && !model.setTopIndex(-1));
        QCOMPARE(model.TopIndex() * 10 + scrolled.count(), 20);
        scroll.viewScrolled(1);
        QCOMPARE(model.TopIndex() * 10 + scrolled.count(), 11);
        // A placeholder keeps its name when the list it came from is emptied and listed anew.
        FileListModel other;
        other.addItems({listed("b"), listed("zz")});
        model.addPrepared(model.preparePlaceholders(other, {1, 0}));
        other.Clear();
        other.addItems({listed("q")});
        QCOMPARE(summaryOf(model) + ' ' + summaryOf(other), QStringLiteral("a\tb b~ c+ d~ zz~ q"));
    }

    // The folder list shows its volume's root (here one mounted at work/alpha) to the current folder, then subfolders (a link to a
    // folder too, none to a file); a row opens its folder.
    void folderList()
    {
        QTemporaryDir dir;
        for (const char *sub : {"work/Beta", "work/alpha/deeper", "work/.hidden"})
            QVERIFY(QDir(dir.path()).mkpath(sub));
        QVERIFY(writeFile(dir.path() + "/work/file.txt", "x"));
        QVERIFY(QFile::link("alpha", dir.path() + "/work/to-alpha") && QFile::link("file.txt", dir.path() + "/work/to-file"));
        FaultyFileSystem volumes(fs);
        volumes.addVolume(dir.path() + "/work/alpha/");
        DirListModel model(volumes);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy changed(&model, &DirListModel::pathChanged);
        QVERIFY(model.setPath(dir.path() + "/work/").has_value());
        QCOMPARE(model.Path(), dir.path() + "/work");
        const int current = model.currentRow();
        QCOMPARE(current, int(model.Path().count('/')));
        QStringList rows;
        for (int row = 0; row < model.rowCount(); ++row)
            rows << model.index(row).data().toString() + QString::number(model.index(row).data(DirListModel::DepthRole).toInt() - current)
                        + (model.index(row).data(DirListModel::OpenRole).toBool() ? "+" : "");
        QCOMPARE(rows.first() + ' ' + rows.mid(current).join(' '), QString("/%1+ work0+ .hidden1 alpha1 Beta1 to-alpha1").arg(-current));
        QVERIFY(model.openRow(model.rowCount()).has_value() && model.Path() == dir.path() + "/work");
        QCOMPARE(model.setPath(dir.path() + "/missing").error().number, 76);
        QCOMPARE(model.setPath("relative").error().number, 76);
        QVERIFY(model.setPath(dir.path() + "/work").has_value()); // the same folder counts too
        QCOMPARE(changed.count(), 2);
        QVERIFY(model.openRow(current + 2).has_value());
        QCOMPARE(model.Path(), dir.path() + "/work/alpha");
        QCOMPARE(model.index(0).data().toString() + ' ' + model.index(1).data().toString(), dir.path() + "/work/alpha/ deeper");
        QVERIFY(model.setPath(dir.path() + "/work/alpha/deeper").has_value() && model.openRow(0).has_value());
        QCOMPARE(model.Path(), dir.path() + "/work/alpha");
        QVERIFY(model.setPath("/").has_value() && model.Path() == "/"); // the root keeps its separator
    }
};

QTEST_GUILESS_MAIN(tst_Panes)
#include "tst_panes.moc"
