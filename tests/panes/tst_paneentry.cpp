#include "panes/paneentry.h"
#include "panes/parsing.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>

using namespace dyadix;

class tst_PaneEntry : public QObject
{
    Q_OBJECT

private slots:
    void lineText_data();
    void lineText();
    void fileDateSize_data();
    void fileDateSize();
    void parse_data();
    void parse();
    void nameOrder_data();
    void nameOrder();
    void sortingAgreesWithNameOrder();
    void quickSortAgreesWithLineOrder();
    void displayName_data();
    void displayName();
};

// A line is name TAB date TAB size right-aligned in eight characters.
void tst_PaneEntry::lineText_data()
{
    QTest::addColumn<qint64>("size");
    QTest::addColumn<QString>("text");
    QTest::newRow("123 bytes") << qint64(123) << "a.txt\t2024/01/05 07:03\t     123";
    QTest::newRow("0 bytes") << qint64(0) << "a.txt\t2024/01/05 07:03\t       0";
    QTest::newRow("seven digits") << qint64(9999999) << "a.txt\t2024/01/05 07:03\t 9999999";
    QTest::newRow("eight digits") << qint64(10000000) << "a.txt\t2024/01/05 07:03\t10000000";
    QTest::newRow("nine digits") << qint64(100000000) << "a.txt\t2024/01/05 07:03\t100000000";
    QTest::newRow("beyond 2 GiB") << qint64(3221225477LL) << "a.txt\t2024/01/05 07:03\t3221225477";
}

void tst_PaneEntry::lineText()
{
    QFETCH(qint64, size);
    QFETCH(QString, text);
    QCOMPARE(PaneEntry::listed("a.txt", "2024/01/05 07:03", size).text(), text);
    QCOMPARE(PaneEntry::placeholderFor("a.txt").text(), QStringLiteral("a.txt\t\t"));
}

// A line taken apart gives back its name, date text and size.
void tst_PaneEntry::fileDateSize_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("date");
    QTest::addColumn<qint64>("size");
    QTest::newRow("listed") << "a.txt\t2024/01/05 07:03\t     123" << "a.txt" << "2024/01/05 07:03" << qint64(123);
    QTest::newRow("placeholder") << "b.doc\t\t" << "b.doc" << "" << qint64(0);
    QTest::newRow("no tab") << "plain text" << "plain text" << "" << qint64(0);
    QTest::newRow("big") << "c\t2024/01/05 07:03\t3221225477" << "c" << "2024/01/05 07:03" << qint64(3221225477LL);
    QTest::newRow("one tab") << "d\t2024/01/05 07:03" << "d" << "2024/01/05 07:03" << qint64(0);
}

void tst_PaneEntry::fileDateSize()
{
    QFETCH(QString, line);
    QFETCH(QString, name);
    QFETCH(QString, date);
    QFETCH(qint64, size);
    QString fil = line;
    QString dateText = "old";
    std::int64_t sizeValue = 77;
    FileDateSize(fil, dateText, sizeValue);
    QCOMPARE(fil, name);
    QCOMPARE(dateText, date);
    QCOMPARE(qint64(sizeValue), size);
}

// Parse takes trimmed fields off a text one by one.
void tst_PaneEntry::parse_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("restAfterFirst");
    QTest::newRow("path set") << "C:\\A|*.*|D:\\B" << "|" << QStringList {"C:\\A", "*.*", "D:\\B", "", ""} << "*.*|D:\\B";
    QTest::newRow("empty middle") << "a||b" << "|" << QStringList {"a", "", "b", ""} << "|b";
    QTest::newRow("empty text") << "" << "|" << QStringList {"", ""} << "";
    QTest::newRow("filter with blanks") << "*.txt , *.doc" << "," << QStringList {"*.txt", "*.doc", ""} << " *.doc";
    QTest::newRow("trailing comma") << "*.txt," << "," << QStringList {"*.txt", ""} << "";
    QTest::newRow("tabs stay") << "\ta\t|b" << "|" << QStringList {"\ta\t", "b"} << "b";
    QTest::newRow("blanks only") << "   " << "," << QStringList {""} << "";
}

void tst_PaneEntry::parse()
{
    QFETCH(QString, line);
    QFETCH(QString, separator);
    QFETCH(QStringList, fields);
    QFETCH(QString, restAfterFirst);
    QString rest = line;
    QCOMPARE(Parse(rest, separator), fields.first());
    QCOMPARE(rest, restAfterFirst);
    for (qsizetype i = 1; i < fields.size(); ++i)
        QCOMPARE(Parse(rest, separator), fields.at(i));
    QCOMPARE(Parse(rest, separator), QString());
    QVERIFY(rest.isEmpty());
}

// Names compare without regard to case, and a name that begins another comes first.
void tst_PaneEntry::nameOrder_data()
{
    QTest::addColumn<QString>("lower");
    QTest::addColumn<QString>("higher");
    QTest::newRow("case ignored") << "abc.txt" << "ABD.TXT";
    QTest::newRow("prefix first") << "abc" << "abc.txt";
    QTest::newRow("prefix before space") << "a" << "a b";
    QTest::newRow("prefix before control") << "x" << "x\x01";
    QTest::newRow("prefix before tab") << "name" << "name\ttab";
    QTest::newRow("underscore") << "A_b" << "a~";
    QTest::newRow("empty lowest") << "" << "!";
}

void tst_PaneEntry::nameOrder()
{
    QFETCH(QString, lower);
    QFETCH(QString, higher);
    QVERIFY(compareNames(lower, higher) < 0);
    QVERIFY(compareNames(higher, lower) > 0);
    QCOMPARE(compareNames(lower.toUpper(), lower.toLower()), 0);
}

// The order lines are kept in is the order of their names, also when names contain TABs.
void tst_PaneEntry::sortingAgreesWithNameOrder()
{
    std::vector<PaneEntry> entries {
        PaneEntry::listed("abc.txt", "2024/01/01 00:00", 1), PaneEntry::placeholderFor("abc"),
        PaneEntry::listed("ABC", "2023/01/01 00:00", 2), PaneEntry::listed("ab\tc", "2024/01/01 00:00", 3),
        PaneEntry::listed("a", "2024/01/01 00:00", 4)};
    std::sort(entries.begin(), entries.end(), entryLess);
    for (size_t i = 1; i < entries.size(); ++i)
        QVERIFY(compareNames(entries[i - 1].name, entries[i].name) <= 0);
    QCOMPARE(entries[0].name, QStringLiteral("a"));
    QCOMPARE(entries[1].name, QStringLiteral("ab\tc"));
    // Equal names: the placeholder (empty date) first, then by date.
    QVERIFY(entries[2].placeholder);
    QCOMPARE(entries[3].name, QStringLiteral("ABC"));
    QCOMPARE(entries[4].name, QStringLiteral("abc.txt"));
}

// The quick sort of long lists puts lines in exactly the order entryLess gives, for names
// that share long beginnings, differ only in case, begin one another, hold characters beyond
// ASCII (some of which fold to ASCII letters) and are equal but for date or size.
void tst_PaneEntry::quickSortAgreesWithLineOrder()
{
    const QStringList pieces {"a", "A", "b", "Z", "_", "~", " ", ".", "0", "9", "\t", "é", "É",
                              QString(QChar(0x212A)) /* Kelvin sign, folds to k */, "k", "K",
                              QString(QChar(0x017F)) /* long s, folds to s */, "s", "ß", "日"};
    QRandomGenerator random(20261206);
    for (int round = 0; round < 20; ++round) {
        std::vector<PaneEntry> entries;
        const QString shared = QString("IMG_000000000000").left(random.bounded(17));
        for (int i = 0; i < 500; ++i) {
            QString name = random.bounded(2) ? shared : QString();
            const int length = random.bounded(20);
            for (int k = 0; k < length; ++k)
                name += pieces[random.bounded(pieces.size())];
            if (random.bounded(5) == 0)
                entries.push_back(PaneEntry::placeholderFor(name));
            else
                entries.push_back(PaneEntry::listed(name, QString("2024/01/0%1 00:00").arg(random.bounded(3) + 1),
                                                    random.bounded(3)));
        }
        std::vector<PaneEntry> expected = entries;
        std::sort(expected.begin(), expected.end(), entryLess);
        sortEntries(entries);
        for (size_t i = 0; i < entries.size(); ++i) {
            QCOMPARE(entries[i].name, expected[i].name);
            QCOMPARE(entries[i].dateText, expected[i].dateText);
            QCOMPARE(entries[i].size, expected[i].size);
            QCOMPARE(entries[i].placeholder, expected[i].placeholder);
        }
    }
}

// Odd characters of a name show on one line.
void tst_PaneEntry::displayName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shown");
    QTest::newRow("plain") << "a.txt" << "a.txt";
    QTest::newRow("tab") << "a\tb" << QString("a") + QChar(0x2409) + "b";
    QTest::newRow("line feed") << "a\nb" << QString("a") + QChar(0x240A) + "b";
    QTest::newRow("escaped byte") << QString("caf") + QChar(0xDCE9) << QString("caf") + QChar(0xFFFD);
    QTest::newRow("real pair") << QString::fromUtf8("\xf0\x9f\x98\x80") << QString::fromUtf8("\xf0\x9f\x98\x80");
}

void tst_PaneEntry::displayName()
{
    QFETCH(QString, name);
    QFETCH(QString, shown);
    QCOMPARE(dyadix::displayName(name), shown);
}

QTEST_GUILESS_MAIN(tst_PaneEntry)
#include "tst_paneentry.moc"
