#include "core/conversions.h"
#include "core/datestamp.h"
#include "core/utf8names.h"
#include "core/wildcard.h"

#include <QDateTime>
#include <QTest>

#include <ctime>

using namespace dyadix;

struct Number
{
    QString text;
    double val;
    bool numeric;
    int int16; // or minus the error's number
    qint64 int32;
};
Q_DECLARE_METATYPE(Number)

class tst_Core : public QObject
{
    Q_OBJECT

private slots:
    // Val reads a leading number, IsNumeric a whole one; integers round half to even or fail.
    void numbers_data()
    {
        QTest::addColumn<Number>("n");
        QTest::newRow("empty") << Number {"", 0, false, -13, -13};
        QTest::newRow("blanks around") << Number {" 15 ", 15, true, 15, 15};
        QTest::newRow("digits, letters") << Number {"12abc", 12, false, -13, -13};
        QTest::newRow("letters first") << Number {"abc12", 0, false, -13, -13};
        QTest::newRow("blank inside") << Number {"1 2", 1, false, -13, -13};
        QTest::newRow("exponent") << Number {"1e3", 1000, true, 1000, 1000};
        QTest::newRow("exponent alone") << Number {"7e", 7, false, -13, -13};
        QTest::newRow("signed exponent") << Number {"25E-1", 2.5, true, 2, 2};
        QTest::newRow("sign alone") << Number {"-", 0, false, -13, -13};
        QTest::newRow("half down to even") << Number {"2.5", 2.5, true, 2, 2};
        QTest::newRow("half up to even") << Number {"3.5", 3.5, true, 4, 4};
        QTest::newRow("negative half") << Number {"-2.5", -2.5, true, -2, -2};
        QTest::newRow("minus a half") << Number {"-0.5", -0.5, true, 0, 0};
        QTest::newRow("more than a half") << Number {"2.51", 2.51, true, 3, 3};
        QTest::newRow("16-bit top") << Number {"32767.4", 32767.4, true, 32767, 32767};
        QTest::newRow("16-bit overflow") << Number {"32767.5", 32767.5, true, -6, 32768};
        QTest::newRow("16-bit bottom") << Number {"-32768.5", -32768.5, true, -32768, -32768};
        QTest::newRow("below 16 bits") << Number {"-32769", -32769, true, -6, -32769};
        QTest::newRow("32-bit top") << Number {"2147483647", 2147483647.0, true, -6, 2147483647};
        QTest::newRow("beyond 32 bits") << Number {"2147483648", 2147483648.0, true, -6, -6};
        QTest::newRow("32-bit bottom") << Number {"-2147483648", -2147483648.0, true, -6, -2147483648LL};
    }
    void numbers()
    {
        QFETCH(Number, n);
        QCOMPARE(Val(n.text), n.val);
        QCOMPARE(IsNumeric(n.text), n.numeric);
        const Result<std::int16_t> small = toInteger16(n.text);
        QCOMPARE(small ? int(*small) : -small.error().number, n.int16);
        if (!small)
            QCOMPARE(small.error().description, QString(n.int16 == -6 ? "Overflow" : "Type mismatch"));
        const Result<std::int32_t> big = toInteger32(n.text);
        QCOMPARE(big ? qint64(*big) : -big.error().number, n.int32);
    }

    // A file's date in the list is its local time to the minute, in each time zone, across the
    // changes to and from summer time (whole hours, half hours, half-hour zones) and long ago.
    void localDates_data()
    {
        QTest::addColumn<QByteArray>("zone");
        for (const char *zone : {"UTC", "Europe/Berlin", "America/St_Johns", "Australia/Lord_Howe", "Asia/Kolkata"})
            QTest::newRow(zone) << QByteArray(zone);
    }
    void localDates()
    {
        QFETCH(QByteArray, zone);
        const QByteArray before = qgetenv("TZ");
        qputenv("TZ", zone);
        ::tzset();
        LocalDates dates;
        int checked = 0;
        // Spring and autumn of 2024, and a week of 1890, about seven minutes apart.
        for (const std::int64_t start : {std::int64_t(1709856000), std::int64_t(1727740800), std::int64_t(-2524521600)}) {
            for (std::int64_t t = start; t < start + 36 * 86400; t += 433, ++checked) {
                const QString expected = QDateTime::fromSecsSinceEpoch(t).toString("yyyy/MM/dd hh:mm");
                if (dateStampText(dates.of(t)) != expected || formatDateText(t) != expected)
                    QFAIL(qPrintable(QString("%1: %2, %3, expected %4").arg(t).arg(dateStampText(dates.of(t)), formatDateText(t), expected)));
            }
        }
        QCOMPARE(parseDateStamp(u"2029/06/19 09:59") + parseDateStamp(u"2024/06/01 12:0x") + parseDateStamp(u"2024-06-01 12:00"), 202906190959);
        before.isNull() ? qunsetenv("TZ") : qputenv("TZ", before);
        ::tzset();
        QCOMPARE(checked, 3 * 7184);
    }

    // Patterns ignore case; names' bytes survive the trip through text, UTF-8 or not.
    void wildcardsAndNames()
    {
        const std::pair<const char *, const char *> matches[] = {
            {"README", "*.*"}, {"FORM.FRX", "*.fr?"}, {"readme", "readme.*"}, {"aXXbYYc", "a*b*c"},
            {"ÉTÉ.txt", "été.*"}, {"[a].txt", "[a].txt"}};
        const std::pair<const char *, const char *> others[] = {
            {"form.fr", "*.fr?"}, {"form.frmx", "*.fr?"}, {"a.txt.bak", "*.txt"}, {"aXXbYY", "a*b*c"}, {"x", ""}};
        for (const auto &[name, pattern] : matches)
            QVERIFY2(matchesWildcard(QString(name), QString(pattern)), name);
        for (const auto &[name, pattern] : others)
            QVERIFY2(!matchesWildcard(QString(name), QString(pattern)), name);
        for (const QByteArray bytes : {"caf\xc3\xa9\t\n", "\xef\xbc\x81\xf0\x9f\x98\x80", "caf\xe9", "a\xe2\x82", "\xc0\xaf", "\xed\xa0\x80", "\x80", "\xf0\x9f\x98\x80\xc2\x80\xff", "\xff\xf0\x90\x80\x80", "\xf4\x8f\xbf\xbf\xff"})
            QCOMPARE(encodeUtf8Name(decodeUtf8Name(bytes.toStdString())), bytes);
        QCOMPARE(decodeUtf8Name("caf\xc3\xa9\t\n") + decodeUtf8Name("\xc2\xa9"), QStringLiteral("café\t\n©"));
        // Characters from U+F000 to U+FFFF (fullwidth forms, a byte-order mark) are themselves, and
        // so are those of three and four bytes at a name's end.
        QCOMPARE(decodeUtf8Name("\xef\xbd\x86\xef\xbb\xbf\xef\x80\x80\xe0\xa4\x85\xe0\xa0\x80") + decodeUtf8Name("\xf0\x9f\x98\x80\xf4\x8f\xbf\xbf"),
                 QStringView(u"\uFF46\uFEFF\uF000\u0905\u0800\U0001F600\U0010FFFF").toString());
        QCOMPARE(encodeUtf8Name(QString(QChar(0x80))), QByteArray("\xc2\x80"));
        QCOMPARE(decodeUtf8Name("\xed\xbf\xbf").size(), 3); // an encoded surrogate is no character: three bytes, each kept
    }
};

QTEST_GUILESS_MAIN(tst_Core)
#include "tst_core.moc"
