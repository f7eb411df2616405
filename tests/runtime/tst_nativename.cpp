#include "runtime/nativename.h"

#include <QTest>

using namespace dyadix;

class tst_NativeName : public QObject
{
    Q_OBJECT

private slots:
    void nativeNamesRoundTrip_data();
    void nativeNamesRoundTrip();
};

// A file name's bytes survive the trip through the program's text unchanged.
void tst_NativeName::nativeNamesRoundTrip_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("shown");
    QTest::newRow("ascii") << QByteArray("plain.txt") << QStringLiteral("plain.txt");
    QTest::newRow("utf-8") << QByteArray("caf\xc3\xa9.txt") << QStringLiteral("café.txt");
    QTest::newRow("4-byte utf-8") << QByteArray("\xf0\x9f\x98\x80") << QStringLiteral("😀");
    QTest::newRow("latin-1 byte") << QByteArray("caf\xe9.txt") << QString();
    QTest::newRow("truncated sequence") << QByteArray("a\xe2\x82") << QString();
    QTest::newRow("overlong slash") << QByteArray("\xc0\xaf") << QString();
    QTest::newRow("encoded surrogate") << QByteArray("\xed\xa0\x80") << QString();
    QTest::newRow("tab and newline") << QByteArray("a\tb\nc") << QStringLiteral("a\tb\nc");
}

void tst_NativeName::nativeNamesRoundTrip()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, shown);
    const QString text = decodeNativeName(std::string_view(bytes.constData(), bytes.size()));
    if (!shown.isNull())
        QCOMPARE(text, shown);
    QCOMPARE(encodeNativeName(text), bytes);
}

QTEST_GUILESS_MAIN(tst_NativeName)
#include "tst_nativename.moc"
