#include "paths/pathcommands.h"
#include "core/inisettingsstore.h"

#include "fixture.h"
#include "rootonly.h"

#include <QScopeGuard>
#include <QSettings>
#include <QStandardPaths>

using namespace dyadix;
using namespace dyadix::test;

// Path sets in the File menu, and the settings stored between runs.
class tst_Paths : public FixtureTest
{
    Q_OBJECT
    RecallSlots &slots_() { return f->form->recallSlots(); }
    void fill(const QStringList &list)
    {
        for (int k = 0; k < 10; ++k) {
            slots_().setCaption(k, RecallSlots::captionFor(k, k < list.size() ? list[k] : ""));
            slots_().setVisible(k, k < list.size());
        }
    }
    QStringList entries()
    {
        QStringList result;
        for (int k = 0; k < 10; ++k) {
            if (slots_().visible(k))
                result << slots_().entry(k);
        }
        return result;
    }
    void store(const QString &key, const QString &value)
    {
        f->settings.values.insert("dyadix/Settings/" + key, value);
    }
    static QStringList numbered(int count)
    {
        QStringList list;
        for (int k = 0; k < count; ++k)
            list << QString("/p%1||").arg(k);
        return list;
    }

private slots:
    // The path-set commands Add, Edit and Remove on the recall list, with their boxes and limits.
    void pathSets_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("typed"); // "!" answers the error prompt with Ignore
        QTest::addColumn<QStringList>("after");
        const QStringList three {" /a | *.* | /b |/d", "/x||", "/v|*.h|/u"};
        QTest::newRow("add to none") << QStringList() << "add" << QStringList {"c:\\a", "*.*", "d:\\b"} << QStringList {"C:\\a|*.*|D:\\b"};
        QTest::newRow("add slot 0 but for case") << QStringList {"C:\\Da|*.*|D:\\Da", "/x||"} << "add" << QStringList {"c:\\DA", "*.*", "d:\\da"} << QStringList {"C:\\Da|*.*|D:\\Da", "/x||"};
        QTest::newRow("add slot 2 again") << QStringList {"/s0||", "/s1||", "/S2|*.c|/t2", "/s3||"} << "add" << QStringList {"/s2", "*.C", "/T2"} << QStringList {"/s2|*.C|/T2", "/s0||", "/s1||", "/s3||"};
        QTest::newRow("add to ten") << numbered(10) << "add" << QStringList {"/new", "", ""} << QStringList {"/new||"} + numbered(9);
        QTest::newRow("edit slot 0 unchanged") << three << "edit" << QStringList {"0", three[0]} << QStringList {"/a|*.*|/b", "/x||", "/v|*.h|/u"};
        QTest::newRow("edit to no bar") << three << "edit" << QStringList {"1", "c:\\plain"} << QStringList {three[0], "c:\\plain||", "/v|*.h|/u"};
        QTest::newRow("edit to another's") << three << "edit" << QStringList {"1", "/v|*.h|/u"} << QStringList {three[0], "/v|*.h|/u", "/v|*.h|/u"};
        QTest::newRow("edit hidden slot") << three << "edit" << QStringList {"3"} << three;
        QTest::newRow("edit slot 12") << three << "edit" << QStringList {"12"} << three;
        QTest::newRow("edit cancelled") << three << "edit" << QStringList {""} << three;
        QTest::newRow("edit -1, a new set") << three << "edit" << QStringList {"-1"} << QStringList {"-1||"} + three;
        QTest::newRow("edit a new set") << three << "edit" << QStringList {"c:\\n|*.t|d:\\x"} << QStringList {"C:\\n|*.t|D:\\x"} + three;
        QTest::newRow("edit another's, case") << three << "edit" << QStringList {"/X||"} << QStringList {"/X||", three[0], three[2]};
        QTest::newRow("edit beyond 32 bits") << three << "edit" << QStringList {"99999999999", "!", "/edited||"} << QStringList {"/edited||", "/x||", "/v|*.h|/u"};
        QTest::newRow("remove x, slot 0") << numbered(3) << "remove" << QStringList {"x"} << numbered(3).mid(1);
        QTest::newRow("remove 2 of five") << numbered(5) << "remove" << QStringList {"2"} << (numbered(2) << "/p3||" << "/p4||");
        QTest::newRow("remove 9 of ten") << numbered(10) << "remove" << QStringList {"9"} << numbered(9);
        QTest::newRow("remove 0 of ten") << numbered(10) << "remove" << QStringList {"0"} << numbered(10).mid(1);
        QTest::newRow("remove cancelled") << numbered(2) << "remove" << QStringList {""} << numbered(2);
        QTest::newRow("remove beyond 16 bits") << numbered(2) << "remove" << QStringList {"40000", "!"} << numbered(2).mid(1);
    }
    void pathSets()
    {
        QFETCH(QStringList, before);
        QFETCH(QString, command);
        QFETCH(QStringList, typed);
        QFETCH(QStringList, after);
        fill(before);
        QString left = typed.value(0), right = typed.value(2);
        if (command == "add")
            AddPathToList(slots_(), left, typed[1], right);
        for (const QString &text : command == "add" ? QStringList() : typed)
            text == "!" ? f->prompter.answer(MsgAnswer::Ignore) : f->prompter.type(text);
        if (command != "add")
            (command == "edit" ? f->form->mnuFileEdit : f->form->mnuFileRemove).trigger();
        QCOMPARE(entries(), after);
        QCOMPARE(f->form->mnuFileLast[0]->text(), after.isEmpty() ? "&0 " : "&0 " + QString(after[0]).replace("&", "&&"));
        QCOMPARE(slots_().visible(9) || slots_().caption(9) == "", after.size() == 10 || after.size() < before.size());
        if (command == "add")
            QCOMPARE(left + right, typed[0].left(1).toUpper() + typed[0].mid(1) + typed[2].left(1).toUpper() + typed[2].mid(1));
        QStringList boxes;
        for (const PromptRecord &box : f->prompter.shown())
            boxes << box.line() + " [" + box.defaultText + "]";
        const QString edit = "Edit Path (input): Edit which path (0-9) from the list?\nTo enter a new one, type or paste it here:\n"
                             "(Ctrl+V or Right-Click to Paste)\ne.g. C:\\Program Files\\Stuff|*.*|F:\\Program Files\\Stuff [0]";
        QCOMPARE(boxes.value(0), command == "edit" ? edit : command == "remove" ? "Remove Path (input): Remove which path (0-9) from the list? []" : "");
        if (typed.value(1) == "!")
            QCOMPARE(boxes.value(1), QStringLiteral("Error! (Abort Retry Ignore, Question): Error 6\nOverflow []"));
        else if (command == "edit" && typed.size() == 2)
            QCOMPARE(boxes.value(1), "Edit Path (input): Please Edit Path " + typed[0] + ":\n(Ctrl+V or Right-Click to Paste) [" + before.value(typed[0].toInt()) + "]");
    }

    // Add takes both panes and the trimmed filter, once; Remove is offered only with a slot to remove.
    void addFromThePanes()
    {
        f->form->Form_Load();
        f->form->mnuFile_Click();
        QVERIFY(!f->form->mnuFileRemove.isEnabled());
        QVERIFY(f->show(1, t("/L")) && f->show(2, f->dir.path()));
        f->form->txtSelect.setText(" *.txt ");
        f->form->mnuFileAdd.trigger();
        f->form->mnuFileAdd.trigger();
        QCOMPARE(entries(), QStringList {t("/L") + "|*.txt|" + f->dir.path()});
        f->form->mnuFile_Click();
        QVERIFY(f->form->mnuFileRemove.isEnabled());
    }

    // Recalling a slot sets the filter and the folders; a folder gone prompts.
    void recall_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("answer"); // to the prompt for a missing folder, or 0
        QTest::addColumn<QString>("after"); // filter | left | right
        QTest::newRow("all three") << "@/L|*.txt|@/R" << 0 << "*.txt|@/L|@/R";
        QTest::newRow("left only") << "@/L||" << 0 << "*.*|@/L|@";
        QTest::newRow("filter only") << "|*.doc|" << 0 << "*.doc|@|@";
        QTest::newRow("blanks around") << " @/L | *.c | @/R |extra" << 0 << "*.c|@/L|@/R";
        QTest::newRow("gone, ignore") << "@/gone|*.*|@/R" << int(MsgAnswer::Ignore) << "*.*|@|@/R";
        QTest::newRow("gone, abort") << "@/gone|*.*|@/R" << int(MsgAnswer::Abort) << "*.*|@|@";
    }
    void recall()
    {
        QFETCH(QString, entry);
        QFETCH(int, answer);
        QFETCH(QString, after);
        QVERIFY(writeFile(t("/R/x.txt"), "x"));
        QVERIFY(f->show(1, f->dir.path()) && f->show(2, f->dir.path()));
        fill({QString(entry).replace("@", f->dir.path())});
        if (answer != 0)
            f->prompter.answer(MsgAnswer(answer));
        f->form->mnuFileLast[0]->trigger();
        const QString shown = f->form->txtSelect.Text() + '|' + f->form->pane(1).dirList.Path() + '|'
            + f->form->pane(2).dirList.Path();
        QCOMPARE(shown, QString(after).replace("@", f->dir.path()));
        QCOMPARE(f->prompter.texts(), answer ? QStringList {"Error 76\nPath not found"} : QStringList());
        if (after.endsWith("/R"))
            QCOMPARE(f->lines(2).size(), after.startsWith("*.c|") ? 0 : 1);
    }

    // What is stored is applied at start; a bad number or a folder gone prompts at its step.
    void load_data()
    {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QString>("loaded"); // window | filter | folders | path sets | prompts
        QTest::newRow("nothing") << QStringList() << "move 10785 4612 7230 6975, state 0|*.*|@ @||";
        QTest::newRow("all") << QStringList {"Width=9000", "Height=7000", "Left=-150", "Top=300", "WindowState=0", "Wildcards=*.txt, *.doc",
                                             "Path1=@/L", "Path2=@/R", "LastFile0=ab", "LastFile1=/x & y|*.c|/z", "LastFile2=x", "LastFile3=/p||"}
                             << "move -150 300 9000 7000, state 0|*.txt, *.doc|@/L @/R|ab, /x & y|*.c|/z, /p|||";
        QTest::newRow("maximised, wide") << QStringList {"Width=57600", "Height=32400", "Left=-30", "Top=0", "WindowState=2"}
                                         << "move -30 0 57600 32400, state 2|*.*|@ @||";
        QTest::newRow("width not a number") << QStringList {"Width=wide"} << "move 14400 4612 0 6975, state 0|*.*|@ @||Error 13\nType mismatch";
        QTest::newRow("width beyond 32 bits") << QStringList {"Width=4294967296"} << "move 14400 4612 0 6975, state 0|*.*|@ @||Error 6\nOverflow";
        QTest::newRow("empty height") << QStringList {"Height="} << "move 10785 8100 7230 0, state 0|*.*|@ @||Error 13\nType mismatch";
        QTest::newRow("state 3") << QStringList {"WindowState=3"} << "move 10785 4612 7230 6975, pointer 11|*.*|@ @||Error 5\nInvalid procedure call or argument";
        QTest::newRow("fractional left") << QStringList {"Left=12.5"} << "move 12 4612 7230 6975, state 0|*.*|@ @||";
        QTest::newRow("centred by a half") << QStringList {"Width=7229"} << "move 10786 4612 7229 6975, state 0|*.*|@ @||";
        QTest::newRow("folder and volume gone") << QStringList {"Path1=@/deleted", "Path2=/media/dyadix-unplugged/photos", "LastFile0=/a||"}
                                                << "move 10785 4612 7230 6975, state 0|*.*|@ @|/a||"
                                                   "|Error 76\nPath not found, Error 68\nDevice unavailable, Error 76\nPath not found";
    }
    void load()
    {
        QFETCH(QStringList, stored);
        QFETCH(QString, loaded);
        for (const QString &value : stored)
            store(value.section('=', 0, 0), value.section('=', 1).replace("@", f->dir.path()));
        f->prompter.answerKeys("III");
        f->form->Form_Load();
        const QString seen = f->host.calls.mid(0, 2).join(", ") + '|' + f->form->txtSelect.Text() + '|' + f->form->pane(1).dirList.Path()
            + ' ' + f->form->pane(2).dirList.Path() + '|' + entries().join(", ") + '|' + f->prompter.lines().join(", ");
        QCOMPARE(seen, QString(loaded).replace("@", f->dir.path()).replace("Error ", "Error in Sub GetSettings! (Abort Retry Ignore, Question): Error "));
        QCOMPARE(f->form->mnuFileLast[1]->text(), stored.contains("LastFile1=/x & y|*.c|/z") ? "&1 /x && y|*.c|/z" : "&1 ");
    }

    // At exit the settings are stored as the window's state allows, keeping unread path sets.
    void unload_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("abort");
        QTest::addColumn<QString>("expected");
        QTest::newRow("normal") << 0 << false << "WindowState=0 Left=150 Top=300 Width=57600 Height=32400 Wildcards=*.md LastFile1=/x||";
        QTest::newRow("maximised") << 2 << false << "WindowState=2 Left=100 Top=200 Width=8000 Height=6000 Wildcards=*.md LastFile1=/x||";
        QTest::newRow("minimised") << 1 << false << "WindowState=- Left=100 Top=200 Width=8000 Height=6000 Wildcards=*.md LastFile1=/x||";
        QTest::newRow("aborted load") << 0 << true << "WindowState=0 Left=150 Top=300 Width=57600 Height=32400 Wildcards=*.md "
                                                      "LastFile0=/new|*.*|/set LastFile1=/x||";
    }
    void unload()
    {
        QFETCH(int, state);
        QFETCH(bool, abort);
        QFETCH(QString, expected);
        for (const char *value : {"Left=100", "Top=200", "Width=8000", "Height=6000", "LastFile0=ab", "LastFile1=/x||"})
            store(QString(value).section('=', 0, 0), QString(value).section('=', 1));
        if (abort)
            store("Top", "oops"), f->prompter.answer(MsgAnswer::Abort);
        f->form->Form_Load();
        QCOMPARE(slots_().caption(0), abort ? "Last" : "&0 ab");
        if (abort)
            f->prompter.type("/new|*.*|/set"), f->form->mnuFileEdit.trigger();
        f->host.state = state;
        f->host.frame = {150, 300, 57600, 32400};
        f->form->txtSelect.setText("*.md");
        f->form->Form_Unload();
        QStringList seen;
        for (const char *key : {"WindowState", "Left", "Top", "Width", "Height", "Wildcards", "LastFile0", "LastFile1", "LastFile2"}) {
            if (f->settings.values.contains("dyadix/Settings/" + QString(key)) || QString(key) == "WindowState")
                seen << key + ('=' + f->settings.values.value("dyadix/Settings/" + QString(key), "-"));
        }
        QCOMPARE(seen.join(' '), expected);
        QCOMPARE(f->settings.values.value("dyadix/Settings/Path1"), f->dir.path());
    }

    // Another program name keeps its settings apart.
    void programName()
    {
        store("Wildcards", "*.kept");
        auto other = f->makeForm(f->settings, "other");
        other->Form_Load();
        QCOMPARE(other->txtSelect.Text(), QStringLiteral("*.*"));
        other->Form_Unload();
        QCOMPARE(f->settings.values.value("other/Settings/Wildcards") + f->settings.values.value("dyadix/Settings/Wildcards"), QStringLiteral("*.**.kept"));
    }

    // A real settings file: one run's settings reach the next, Exit without Saving keeps it,
    // hostile files start with defaults or the prompt, and a refused save is reported.
    void settingsFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("prompts");
        QTest::newRow("none") << QByteArray() << 0;
        QTest::newRow("garbage") << QByteArray("\x00\xff\xfe[[=\x01\x02\n\x7f=\xc3\x28", 14) << 0;
        QTest::newRow("non-numeric") << QByteArray("[Settings]\nWidth=a\nHeight=b\nLeft=c\nTop=d\nWindowState=e\n") << 5;
        QTest::newRow("path is a file") << QByteArray("[Settings]\nPath1=@/L/f\n") << 1;
        QTest::newRow("hand-edited list") << QByteArray("[Settings]\nWildcards=*.txt, *.doc\n") << 0; // an unquoted comma
        QTest::newRow("long") << "[Settings]\nWildcards=" + QByteArray(10000, '*') + "\nLastFile0=" + QByteArray(10000, 'p') << 0;
        QByteArray noise(4096, 0); // random bytes, as a disk fault leaves them: kept aside whole, with a message
        for (quint32 i = 0, x = 18; i < quint32(noise.size()); ++i)
            noise[i] = char((x = x * 1103515245 + 12345) >> 16);
        QTest::newRow("unreadable") << noise << 1;
    }
    void settingsFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, prompts);
        QStandardPaths::setTestModeEnabled(true);
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/dyadix", file = folder + "/dyadix.ini";
        QFile::remove(folder); // a file where the folder belongs, left by a run that died
        QDir().mkpath(folder);
        for (const QString &earlier : QDir(folder).entryList({"dyadix.ini.unreadable-*"}, QDir::Files)) // of a run that died
            QVERIFY(QFile::remove(folder + "/" + earlier));
        QVERIFY(writeFile(t("/L/f"), "f"));
        QVERIFY(writeFile(file, QByteArray(content).replace('@', f->dir.path().toUtf8())));
        IniSettingsStore ini;
        auto form = f->makeForm(ini);
        f->prompter.answerKeys(QString(prompts, 'I'));
        form->Form_Load();
        QCOMPARE(f->prompter.shown().size(), size_t(prompts));
        if (QTest::currentDataTag() == QString("hand-edited list"))
            QCOMPARE(form->txtSelect.Text(), "*.txt,*.doc");
        if (QTest::currentDataTag() == QString("unreadable")) {
            const QStringList aside = QDir(folder).entryList({"dyadix.ini.unreadable-2???????" "-??????"}); // the first in its second has no number
            QCOMPARE(aside.size(), 1);
            QCOMPARE(readFile(folder + "/" + aside[0]), QByteArray(content).replace('@', f->dir.path().toUtf8()));
            QCOMPARE(f->prompter.lines(), QStringList {"dyadix (OK, Exclamation): The settings file\n" + file + "\ncould not be read. It is kept whole as\n" + folder + "/" + aside[0]
                                                       + "\nand the program starts with its default settings."});
            QVERIFY(QFile::remove(folder + "/" + aside[0]));
        }
        const QByteArray before = readFile(file);
        form->txtSelect.setText("*.changed");
        form->mnuFileExitNoSave.trigger();
        form->Form_Unload();
        QCOMPARE(readFile(file), before);
        form->NoSaveOnExit = false;
        QVERIFY(form->pane(2).dirList.setPath(t("/R")).has_value());
        form->mnuFileAdd.trigger();
        form->Form_Unload();
        auto again = f->makeForm(ini);
        again->Form_Load();
        QCOMPARE(again->txtSelect.Text(), QStringLiteral("*.changed"));
        QCOMPARE(again->pane(2).dirList.Path(), t("/R"));
        QCOMPARE(again->recallSlots().entry(0), form->pane(1).dirList.Path() + "|*.changed|" + t("/R"));
        f->prompter.type("0"), again->mnuFileRemove.trigger(), again->Form_Unload(); // a removed path set stays removed
        QVERIFY2(!readFile(file).contains("|*.changed|"), readFile(file).constData());
        QVERIFY(QFile::remove(file));
        if (QTest::currentDataTag() == QString("none")) { // a file where the folder belongs refuses the save
            QVERIFY(QDir().rmdir(folder) && writeFile(folder, "not a folder"));
            f->prompter.answer(MsgAnswer::Ok);
            again->Form_Unload();
            QCOMPARE(f->prompter.lines().last(), QStringLiteral("dyadix (OK, Exclamation): Error 70\nPermission denied\nThe settings could not all be stored."));
            QVERIFY(QFile::remove(folder));
        }
    }

    // Settings that cannot be stored say why: on a full volume "Disk full", in a folder this user may not write "Permission denied".
    void settingsNotStored()
    {
        // The folder where the user's INI files go, for this test alone.
        const auto settingsIn = [](const QString &folder) { QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder); };
        const auto restore = qScopeGuard([&] { settingsIn(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)); });
        QStringList errors;
        QTemporaryDir locked;
        QVERIFY(QDir().mkpath(locked.path() + "/dyadix") && setMode(locked.path() + "/dyadix", 0555));
        settingsIn(locked.path());
        if (::geteuid() != 0) // root writes there all the same
            errors << QString::number(IniSettingsStore().SaveSetting("dyadix", "Settings", "Width", "7110").error().number);
        QVERIFY(setMode(locked.path() + "/dyadix", 0755));
        if (const auto full = Mount::tmpfs(64)) {
            QVERIFY(QDir().mkpath(full->dir.path() + "/dyadix"));
            QFile filler(full->dir.path() + "/filler");
            QVERIFY(filler.open(QIODevice::WriteOnly));
            while (filler.write(QByteArray(4096, 'f')) == 4096 && filler.flush()) {
            }
            filler.close();
            settingsIn(full->dir.path());
            errors << QString::number(IniSettingsStore().SaveSetting("dyadix", "Settings", "Width", QString(8192, '7')).error().number);
        }
        if (errors.isEmpty())
            QSKIP("root writes anywhere, and only root may mount a small volume to fill");
        QCOMPARE(errors.join(' '), ::geteuid() == 0 ? "61" : "70");
    }
};

QTEST_MAIN(tst_Paths)
#include "tst_paths.moc"
