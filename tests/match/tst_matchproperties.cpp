#include "match/match.h"

#include <QRandomGenerator>
#include <QTest>

#include <map>

using namespace dyadix;

class tst_MatchProperties : public QObject
{
    Q_OBJECT

private slots:
    void randomLists_data();
    void randomLists();
};

namespace {

const QStringList Stems {"a", "A", "ab", "aB", "abc", "a b", "a.b", "a\tb", "é", "É", "z", "_", "~x", "a-"};
const QStringList Dates {"2024/01/01 00:00", "2024/01/01 00:01", "2023/12/31 23:59", "2025/06/01 12:00"};

std::vector<PaneEntry> randomList(QRandomGenerator &random)
{
    std::vector<PaneEntry> entries;
    const int count = random.bounded(0, 12);
    for (int i = 0; i < count; ++i) {
        QString name = Stems[random.bounded(Stems.size())];
        if (random.bounded(3) == 0)
            name += Stems[random.bounded(Stems.size())];
        entries.push_back(PaneEntry::listed(name, Dates[random.bounded(Dates.size())], random.bounded(3)));
    }
    return entries;
}

// How often each listed line occurs.
std::map<QString, int> census(const FileListModel &list)
{
    std::map<QString, int> counts;
    for (int i = 0; i < list.ListCount(); ++i) {
        if (!list.entry(i).placeholder)
            ++counts[list.List(i)];
    }
    return counts;
}

} // namespace

void tst_MatchProperties::randomLists_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed : {1u, 7u, 2026u, 90210u})
        QTest::newRow(qPrintable(QString::number(seed))) << seed;
}

// On thousands of random pairs of lists (shared prefixes, case twins, odd characters,
// duplicates): every original line is still there once, both lists end with the same names
// line for line, and each line's tick is the one the rules give for its pair.
void tst_MatchProperties::randomLists()
{
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    for (int round = 0; round < 1500; ++round) {
        FileListModel left, right;
        left.addItems(randomList(random));
        right.addItems(randomList(random));
        const auto leftBefore = census(left);
        const auto rightBefore = census(right);
        const bool newer = random.bounded(2) == 0;

        const MatchCounts counts = matchLists(left, right, newer ? MarkNewer::On : MarkNewer::Off);

        QCOMPARE(census(left), leftBefore);
        QCOMPARE(census(right), rightBefore);
        QCOMPARE(left.ListCount(), right.ListCount());
        QCOMPARE(qint64(left.ListCount()), counts.pairs + counts.onlyLeft + counts.onlyRight);
        int ticked[2] = {0, 0};
        for (int k = 0; k < left.ListCount(); ++k) {
            const PaneEntry &l = left.entry(k);
            const PaneEntry &r = right.entry(k);
            QVERIFY2(compareNames(l.name, r.name) == 0, qPrintable(QString("round %1 line %2").arg(round).arg(k)));
            QVERIFY(!(l.placeholder && r.placeholder));
            bool tickLeft = false, tickRight = false;
            if (l.placeholder) {
                tickRight = true;
            } else if (r.placeholder) {
                tickLeft = true;
            } else if (l.dateText != r.dateText) {
                tickLeft = (l.dateText > r.dateText) == newer;
                tickRight = !tickLeft;
            }
            QCOMPARE(left.Selected(k), tickLeft);
            QCOMPARE(right.Selected(k), tickRight);
            ticked[0] += tickLeft;
            ticked[1] += tickRight;
        }
        QCOMPARE(left.SelCount(), ticked[0]);
        QCOMPARE(right.SelCount(), ticked[1]);
    }
}

QTEST_GUILESS_MAIN(tst_MatchProperties)
#include "tst_matchproperties.moc"
