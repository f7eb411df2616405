#include "runtime/wildcard.h"

#include <QTest>

using namespace dyadix;

class tst_Wildcard : public QObject
{
    Q_OBJECT

private slots:
    void wildcard_data();
    void wildcard();
};

// The filter's patterns pick files without regard to case.
void tst_Wildcard::wildcard_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("matches");
    QTest::newRow("*.* without a dot") << "README" << "*.*" << true;
    QTest::newRow("* without a dot") << "README" << "*" << true;
    QTest::newRow("*.* dot file") << ".profile" << "*.*" << true;
    QTest::newRow("*.fr? three letters") << "form.frm" << "*.fr?" << true;
    QTest::newRow("*.fr? case") << "FORM.FRX" << "*.fr?" << true;
    QTest::newRow("*.fr? too short") << "form.fr" << "*.fr?" << false;
    QTest::newRow("*.fr? too long") << "form.frmx" << "*.fr?" << false;
    QTest::newRow("*.txt case") << "Notes.TXT" << "*.txt" << true;
    QTest::newRow("*.txt other") << "notes.doc" << "*.txt" << false;
    QTest::newRow("*.txt only the end") << "a.txt.bak" << "*.txt" << false;
    QTest::newRow("name.* without extension") << "readme" << "readme.*" << true;
    QTest::newRow("name.* with extension") << "readme.md" << "readme.*" << true;
    QTest::newRow("a*b*c") << "aXXbYYc" << "a*b*c" << true;
    QTest::newRow("a*b*c fails") << "aXXbYY" << "a*b*c" << false;
    QTest::newRow("exact") << "Makefile" << "makefile" << true;
    QTest::newRow("empty pattern") << "x" << "" << false;
    QTest::newRow("accented case") << "ÉTÉ.txt" << "été.*" << true;
    QTest::newRow("brackets are literal") << "[a].txt" << "[a].txt" << true;
}

void tst_Wildcard::wildcard()
{
    QFETCH(QString, name);
    QFETCH(QString, pattern);
    QFETCH(bool, matches);
    QCOMPARE(matchesWildcard(name, pattern), matches);
}

QTEST_GUILESS_MAIN(tst_Wildcard)
#include "tst_wildcard.moc"
