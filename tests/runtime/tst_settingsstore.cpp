#include "runtime/inisettingsstore.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTest>

using namespace dyadix;

class tst_SettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void absentKeyGivesDefault();
    void savedValuesComeBack_data();
    void savedValuesComeBack();
    void deleteOfAbsentKeyFails();
    void fileLivesUnderTheApplicationName();
    void handEditedCommaList();
    void refusedWriteIsReported();

private:
    QString iniPath() const;
    IniSettingsStore m_store;
    const QString m_app = QStringLiteral("dyadix-test");
};

void tst_SettingsStore::init()
{
    QStandardPaths::setTestModeEnabled(true);
    QFile::remove(iniPath());
}

QString tst_SettingsStore::iniPath() const
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + '/' + m_app
        + '/' + m_app + ".ini";
}

// A key never stored reads as the default the caller gives.
void tst_SettingsStore::absentKeyGivesDefault()
{
    QCOMPARE(m_store.GetSetting(m_app, "Settings", "Wildcards", "*.*"), QStringLiteral("*.*"));
    QCOMPARE(m_store.GetSetting(m_app, "Settings", "LastFile3", ""), QString());
}

// Any text is stored and read back exactly, commas, quotes and odd characters included.
void tst_SettingsStore::savedValuesComeBack_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("filter with commas") << "*.txt, *.doc";
    QTest::newRow("path set") << "/home/a b|*.*|/mnt/usb/a b";
    QTest::newRow("long") << QString(10000, 'z');
}

void tst_SettingsStore::savedValuesComeBack()
{
    QFETCH(QString, value);
    QVERIFY(m_store.SaveSetting(m_app, "Settings", "Path1", value).has_value());
    QCOMPARE(m_store.GetSetting(m_app, "Settings", "Path1", "default"), value);
    QCOMPARE(IniSettingsStore().GetSetting(m_app, "Settings", "Path1", "default"), value);
}

// Deleting a key that is not there is an error; deleting a stored key removes it.
void tst_SettingsStore::deleteOfAbsentKeyFails()
{
    const Status absent = m_store.DeleteSetting(m_app, "Settings", "LastFile9");
    QVERIFY(!absent.has_value());
    QCOMPARE(absent.error().number, 5);
    QVERIFY(m_store.SaveSetting(m_app, "Settings", "LastFile9", "/a||/b").has_value());
    QVERIFY(m_store.DeleteSetting(m_app, "Settings", "LastFile9").has_value());
    QCOMPARE(m_store.GetSetting(m_app, "Settings", "LastFile9", "gone"), QStringLiteral("gone"));
}

// The file is <config>/<app>/<app>.ini with the keys under the section.
void tst_SettingsStore::fileLivesUnderTheApplicationName()
{
    QVERIFY(m_store.SaveSetting(m_app, "Settings", "Width", "7230").has_value());
    QFile file(iniPath());
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(iniPath()));
    const QByteArray content = file.readAll();
    QVERIFY(content.contains("[Settings]"));
    QVERIFY(content.contains("Width=7230"));
}

// A value typed into the file by hand with an unquoted comma still reads as one text.
void tst_SettingsStore::handEditedCommaList()
{
    QDir().mkpath(QFileInfo(iniPath()).path());
    QFile file(iniPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Settings]\nWildcards=*.txt,*.doc\n");
    file.close();
    QCOMPARE(m_store.GetSetting(m_app, "Settings", "Wildcards", ""), QStringLiteral("*.txt,*.doc"));
}

// A settings file that cannot be written makes SaveSetting fail instead of claiming success
// (the folder it belongs in is a file here, which refuses even root).
void tst_SettingsStore::refusedWriteIsReported()
{
    const QString folder = QFileInfo(iniPath()).path();
    QDir(folder).removeRecursively();
    QFile blocker(folder);
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const Status status = m_store.SaveSetting(m_app, "Settings", "Top", "2");
    QFile::remove(folder);
    QVERIFY(!status.has_value());
    QCOMPARE(status.error().number, 70);
}

QTEST_GUILESS_MAIN(tst_SettingsStore)
#include "tst_settingsstore.moc"
