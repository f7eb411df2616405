#include "runtime/conversions.h"

#include <QTest>

#include <ctime>

using namespace dyadix;

class tst_Conversions : public QObject
{
    Q_OBJECT

private slots:
    void val_data();
    void val();
    void isNumeric_data();
    void isNumeric();
    void toInteger16_data();
    void toInteger16();
    void toInteger32_data();
    void toInteger32();
    void integer16FromComputedNumbers();
    void dateText();
};

// Val reads the number at the start of a text the way slot numbers and sizes are read.
void tst_Conversions::val_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("digits then letters") << "12abc" << 12.0;
    QTest::newRow("letters first") << "abc12" << 0.0;
    QTest::newRow("leading blanks") << "   42" << 42.0;
    QTest::newRow("size field") << "     123" << 123.0;
    QTest::newRow("negative") << "-1" << -1.0;
    QTest::newRow("fraction") << "2.5|x" << 2.5;
    QTest::newRow("exponent") << "1e3" << 1000.0;
    QTest::newRow("exponent marker alone") << "7e" << 7.0;
    QTest::newRow("sign alone") << "-" << 0.0;
    QTest::newRow("blank inside stops") << "1 2" << 1.0;
    QTest::newRow("beyond 32 bits") << "99999999999" << 99999999999.0;
}

void tst_Conversions::val()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(Val(text), expected);
}

// IsNumeric decides whether a typed slot number counts as a number.
void tst_Conversions::isNumeric_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("expected");
    QTest::newRow("blanks around") << " 7 " << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("blanks only") << "   " << false;
    QTest::newRow("trailing letters") << "12abc" << false;
    QTest::newRow("negative fraction") << "-3.25" << true;
    QTest::newRow("exponent") << "1E5" << true;
    QTest::newRow("exponent without digits") << "1E" << false;
    QTest::newRow("two numbers") << "1 2" << false;
    QTest::newRow("path") << "C:\\a" << false;
}

void tst_Conversions::isNumeric()
{
    QFETCH(QString, text);
    QFETCH(bool, expected);
    QCOMPARE(IsNumeric(text), expected);
}

// Stored sizes and typed numbers convert with half-to-even rounding and the right errors.
void tst_Conversions::toInteger16_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");
    QTest::addColumn<int>("error"); // 0: no error
    QTest::newRow("plain") << "7110" << 7110 << 0;
    QTest::newRow("half to even down") << "2.5" << 2 << 0;
    QTest::newRow("half to even up") << "3.5" << 4 << 0;
    QTest::newRow("negative half down") << "-2.5" << -2 << 0;
    QTest::newRow("negative half up") << "-3.5" << -4 << 0;
    QTest::newRow("minus a half") << "-0.5" << 0 << 0;
    QTest::newRow("not a half") << "2.51" << 3 << 0;
    QTest::newRow("largest") << "32767" << 32767 << 0;
    QTest::newRow("32767.5 overflows") << "32767.5" << 0 << 6;
    QTest::newRow("32767.4 fits") << "32767.4" << 32767 << 0;
    QTest::newRow("-32768.5 rounds to even") << "-32768.5" << -32768 << 0;
    QTest::newRow("-32769 overflows") << "-32769" << 0 << 6;
    QTest::newRow("32768 overflows") << "32768" << 0 << 6;
    QTest::newRow("empty is a mismatch") << "" << 0 << 13;
    QTest::newRow("text is a mismatch") << "wide" << 0 << 13;
    QTest::newRow("trailing text is a mismatch") << "12abc" << 0 << 13;
    QTest::newRow("blanks around") << " 15 " << 15 << 0;
}

void tst_Conversions::toInteger16()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    QFETCH(int, error);
    const Result<std::int16_t> result = dyadix::toInteger16(text);
    if (error == 0) {
        QVERIFY(result.has_value());
        QCOMPARE(int(*result), expected);
    } else {
        QVERIFY(!result.has_value());
        QCOMPARE(result.error().number, error);
        QCOMPARE(result.error().description,
                 QString::fromLatin1(error == 6 ? "Overflow" : "Type mismatch"));
    }
}

// Window sizes over 32,767 twips read back as 32-bit numbers.
void tst_Conversions::toInteger32_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("expected");
    QTest::addColumn<int>("error");
    QTest::newRow("wide window") << "40000" << qint64(40000) << 0;
    QTest::newRow("largest") << "2147483647" << qint64(2147483647) << 0;
    QTest::newRow("beyond") << "2147483648" << qint64(0) << 6;
    QTest::newRow("smallest") << "-2147483648" << qint64(-2147483648LL) << 0;
    QTest::newRow("half to even") << "40000.5" << qint64(40000) << 0;
    QTest::newRow("mismatch") << "x" << qint64(0) << 13;
}

void tst_Conversions::toInteger32()
{
    QFETCH(QString, text);
    QFETCH(qint64, expected);
    QFETCH(int, error);
    const Result<std::int32_t> result = dyadix::toInteger32(text);
    QCOMPARE(result.has_value(), error == 0);
    if (error == 0)
        QCOMPARE(qint64(*result), expected);
    else
        QCOMPARE(result.error().number, error);
}

// Computed centring offsets may carry a half and convert the same way as stored text.
void tst_Conversions::integer16FromComputedNumbers()
{
    QCOMPARE(int(*dyadix::toInteger16((1920.0 * 15 - 7230) / 2)), 10785);
    QCOMPARE(int(*dyadix::toInteger16(2767.5)), 2768);
    QCOMPARE(int(*dyadix::toInteger16(2722.5)), 2722);
    QCOMPARE(dyadix::toInteger16(40000.0).error().number, 6);
}

// Entry dates are 16 characters, local time, and sort in time order as text.
void tst_Conversions::dateText()
{
    const std::int64_t early = [] {
        std::tm t {};
        t.tm_year = 2024 - 1900;
        t.tm_mon = 0;
        t.tm_mday = 5;
        t.tm_hour = 7;
        t.tm_min = 3;
        t.tm_sec = 59;
        t.tm_isdst = -1;
        return static_cast<std::int64_t>(std::mktime(&t));
    }();
    QCOMPARE(formatDateText(early), QStringLiteral("2024/01/05 07:03"));
    QCOMPARE(formatDateText(early + 1), QStringLiteral("2024/01/05 07:04"));
    QCOMPARE(formatDateText(early + 3600 * 24 * 300).size(), 16);
    QVERIFY(formatDateText(early) < formatDateText(early + 3600 * 15));
}

QTEST_GUILESS_MAIN(tst_Conversions)
#include "tst_conversions.moc"
