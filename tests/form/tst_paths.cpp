#include "formfixture.h"
#include "tempfiles.h"

#include "paths/pathcommands.h"

#include <QDir>
#include <QTest>

using namespace dyadix;
using namespace dyadix::test;

class tst_Paths : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void add_data();
    void add();
    void ampersandShowsAsItself();
    void removeItemFollowsSlotZero();
    void addTakesPanesAndTrimmedFilter();
    void recall_data();
    void recall();
    void recallOfMissingFolder_data();
    void recallOfMissingFolder();
    void editPrompts();
    void editInPlace();
    void editSilentStops_data();
    void editSilentStops();
    void editNewPathSets_data();
    void editNewPathSets();
    void editOverflow();
    void remove_data();
    void remove();
    void removeOverflowIgnoredRemovesSlotZero();

private:
    RecallSlots &slots_() { return f->form->recallSlots(); }
    void fill(const QStringList &entries);
    QStringList entries();
    std::unique_ptr<FormFixture> f;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_Paths::init()
{
    f = std::make_unique<FormFixture>();
    m_dir = std::make_unique<QTemporaryDir>();
    f->form->Form_Load();
    f->host.clear();
}

void tst_Paths::fill(const QStringList &list)
{
    for (int k = 0; k < 10; ++k) {
        const bool used = k < list.size();
        slots_().setCaption(k, RecallSlots::captionFor(k, used ? list[k] : QString()));
        slots_().setVisible(k, used);
    }
}

// The entries of the shown slots, top first.
QStringList tst_Paths::entries()
{
    QStringList result;
    for (int k = 0; k < 10; ++k) {
        if (slots_().visible(k))
            result << slots_().entry(k);
    }
    return result;
}

// Adding a path set puts it on top, capitalising the drive letters of the caller's paths. An
// entry equal to slot 0's but for letter case changes nothing, not even the case shown; one
// equal to another slot's moves to the top in its new case; a full list loses slot 9's.
void tst_Paths::add_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("added");
    QTest::addColumn<QStringList>("after");
    QStringList ten, tenAfter {"/new||"};
    for (int k = 0; k < 10; ++k)
        ten << QString("/p%1||").arg(k);
    tenAfter << ten.mid(0, 9);
    QTest::newRow("empty list") << QStringList() << QStringList {"c:\\a", "*.*", "d:\\b"}
                                << QStringList {"C:\\a|*.*|D:\\b"};
    QTest::newRow("slot 0 but for case") << QStringList {"C:\\Data|*.*|D:\\Data", "/x||"}
                                         << QStringList {"c:\\DATA", "*.*", "d:\\data"}
                                         << QStringList {"C:\\Data|*.*|D:\\Data", "/x||"};
    QTest::newRow("slot 3 moves up") << QStringList {"/s0||", "/s1||", "/s2||", "/S3|*.c|/t3", "/s4||", "/s5||"}
                                     << QStringList {"/s3", "*.C", "/T3"}
                                     << QStringList {"/s3|*.C|/T3", "/s0||", "/s1||", "/s2||", "/s4||", "/s5||"};
    QTest::newRow("full list") << ten << QStringList {"/new", "", ""} << tenAfter;
    QTest::newRow("three become four") << QStringList {"/a||", "/b||", "/c||"} << QStringList {"/new", "", ""}
                                       << QStringList {"/new||", "/a||", "/b||", "/c||"};
}

void tst_Paths::add()
{
    QFETCH(QStringList, before);
    QFETCH(QStringList, added);
    QFETCH(QStringList, after);
    fill(before);
    QString left = added[0], right = added[2];
    AddPathToList(slots_(), left, added[1], right);
    QCOMPARE(entries(), after);
    QCOMPARE(left, added[0].left(1).toUpper() + added[0].mid(1));
    QCOMPARE(right, added[2].left(1).toUpper() + added[2].mid(1));
}

// A "&" in a path shows as itself in the menu, while the entry keeps it as typed.
void tst_Paths::ampersandShowsAsItself()
{
    QString left = "/Tom & Jerry", right = "/R&D";
    AddPathToList(slots_(), left, "*.*", right);
    QCOMPARE(slots_().entry(0), QStringLiteral("/Tom & Jerry|*.*|/R&D"));
    QCOMPARE(f->form->mnuFileLast[0]->text(), QStringLiteral("&0 /Tom && Jerry|*.*|/R&&D"));
}

// "Remove Path..." is available exactly when slot 0 is shown, as of the File menu's opening.
void tst_Paths::removeItemFollowsSlotZero()
{
    f->form->mnuFile_Click();
    QVERIFY(!f->form->mnuFileRemove.isEnabled());
    f->form->mnuFileAdd.trigger();
    QVERIFY(!f->form->mnuFileRemove.isEnabled());
    f->form->mnuFile_Click();
    QVERIFY(f->form->mnuFileRemove.isEnabled());
    // Removing the last slot leaves the item available until the menu opens again; a further
    // Remove then does nothing.
    f->prompter.type("0");
    f->form->mnuFileRemove_Click();
    QVERIFY(f->form->mnuFileRemove.isEnabled());
    f->prompter.type("0");
    f->form->mnuFileRemove_Click();
    QCOMPARE(entries(), QStringList());
    f->form->mnuFile_Click();
    QVERIFY(!f->form->mnuFileRemove.isEnabled());
}

// Add takes both panes' folders and the filter without its blanks; twice changes nothing.
void tst_Paths::addTakesPanesAndTrimmedFilter()
{
    QVERIFY(QDir(m_dir->path()).mkdir("l"));
    QVERIFY(f->show(1, m_dir->path() + "/l"));
    QVERIFY(f->show(2, m_dir->path()));
    f->form->txtSelect.setText(" *.txt ");
    f->form->mnuFileAdd.trigger();
    f->form->mnuFileAdd.trigger();
    QCOMPARE(entries(), QStringList {m_dir->path() + "/l|*.txt|" + m_dir->path()});
}

// Recalling a slot sets the filter, then the Left drive and folder, then the Right; empty
// fields leave their settings alone.
void tst_Paths::recall_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("leftFolder");
    QTest::addColumn<QString>("rightFolder");
    QTest::newRow("all three") << "@/l|*.txt|@/r" << "*.txt" << "@/l" << "@/r";
    QTest::newRow("left only") << "@/l||" << "*.*" << "@/l" << "cwd";
    QTest::newRow("filter only") << "|*.doc|" << "*.doc" << "cwd" << "cwd";
    QTest::newRow("blanks around fields") << " @/l | *.c | @/r |extra" << "*.c" << "@/l" << "@/r";
}

void tst_Paths::recall()
{
    QFETCH(QString, entry);
    QFETCH(QString, filter);
    QFETCH(QString, leftFolder);
    QFETCH(QString, rightFolder);
    QVERIFY(QDir(m_dir->path()).mkdir("l"));
    QVERIFY(QDir(m_dir->path()).mkdir("r"));
    QVERIFY(writeFile(m_dir->path() + "/r/x.txt", "x"));
    const QString cwd = f->form->pane(1).dirList.Path();
    auto resolve = [&](QString text) { return text == "cwd" ? cwd : text.replace("@", m_dir->path()); };
    fill({resolve(entry)});
    const QStringList before = f->lines(2);
    f->form->mnuFileLast[0]->trigger();
    QCOMPARE(f->form->txtSelect.Text(), filter);
    QCOMPARE(f->form->pane(1).dirList.Path(), resolve(leftFolder));
    QCOMPARE(f->form->pane(2).dirList.Path(), resolve(rightFolder));
    if (rightFolder == "cwd")
        QCOMPARE(f->lines(2), before);
    else
        QCOMPARE(f->lines(2).size(), filter == "*.c" ? 0 : 1);
    QCOMPARE(entries().first(), resolve(entry));
}

// A recalled Left folder that no longer exists brings the error prompt: Ignore goes on with
// the Right pane, Abort leaves it as it was.
void tst_Paths::recallOfMissingFolder_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("rightMoved");
    QTest::newRow("ignore") << int(MsgAnswer::Ignore) << true;
    QTest::newRow("abort") << int(MsgAnswer::Abort) << false;
}

void tst_Paths::recallOfMissingFolder()
{
    QFETCH(int, answer);
    QFETCH(bool, rightMoved);
    const QString cwd = f->form->pane(2).dirList.Path();
    fill({m_dir->path() + "/gone|*.*|" + m_dir->path()});
    f->prompter.answer(MsgAnswer(answer));
    f->form->mnuFileLast[0]->trigger();
    QCOMPARE(f->prompter.shown().size(), size_t(1));
    QCOMPARE(f->prompter.shown().front().text, QStringLiteral("Error 76\nPath not found"));
    QCOMPARE(f->prompter.shown().front().title, QStringLiteral("Error!"));
    QCOMPARE(f->prompter.shown().front().style, 34);
    QCOMPARE(f->form->pane(2).dirList.Path(), rightMoved ? m_dir->path() : cwd);
}

// Edit asks for a slot with its four-line prompt, then for the slot's text.
void tst_Paths::editPrompts()
{
    fill({"/a|*.*|/b"});
    f->prompter.type("0");
    f->prompter.type("");
    f->form->mnuFileEdit.trigger();
    QCOMPARE(f->prompter.shown().size(), size_t(2));
    const PromptRecord &first = f->prompter.shown()[0];
    QCOMPARE(first.kind, PromptRecord::Kind::Input);
    QCOMPARE(first.title, QStringLiteral("Edit Path"));
    QCOMPARE(first.defaultText, QStringLiteral("0"));
    QCOMPARE(first.text, QStringLiteral("Edit which path (0-9) from the list?\nTo enter a new one, type or paste it here:\n"
                                        "(Ctrl+V or Right-Click to Paste)\n"
                                        "e.g. C:\\Program Files\\Stuff|*.*|F:\\Program Files\\Stuff"));
    const PromptRecord &second = f->prompter.shown()[1];
    QCOMPARE(second.title, QStringLiteral("Edit Path"));
    QCOMPARE(second.text, QStringLiteral("Please Edit Path 0:\n(Ctrl+V or Right-Click to Paste)"));
    QCOMPARE(second.defaultText, QStringLiteral("/a|*.*|/b"));
    QCOMPARE(entries(), QStringList {"/a|*.*|/b"});
}

// Confirming slot 0 unchanged writes it back with each field trimmed and a fourth dropped; an
// edit to a text without "|", or to another slot's text, is kept as such.
void tst_Paths::editInPlace()
{
    fill({" /a | *.* | /b |/d", "/x||", "/y||", "/z||", "/w||", "/v|*.h|/u"});
    f->prompter.type("0");
    f->prompter.type(" /a | *.* | /b |/d");
    f->form->mnuFileEdit.trigger();
    QCOMPARE(slots_().entry(0), QStringLiteral("/a|*.*|/b"));
    f->prompter.type("2");
    f->prompter.type("c:\\plain");
    f->form->mnuFileEdit.trigger();
    QCOMPARE(slots_().entry(2), QStringLiteral("c:\\plain||"));
    f->prompter.type("2");
    f->prompter.type("/v|*.h|/u");
    f->form->mnuFileEdit.trigger();
    QCOMPARE(entries(), (QStringList {"/a|*.*|/b", "/x||", "/v|*.h|/u", "/z||", "/w||", "/v|*.h|/u"}));
}

// Out-of-range or hidden slots and empty answers end Edit without a message.
void tst_Paths::editSilentStops_data()
{
    QTest::addColumn<QString>("answer");
    QTest::newRow("hidden slot 3") << "3";
    QTest::newRow("slot 12") << "12";
    QTest::newRow("cancelled") << "";
    QTest::newRow("9.7 rounds to 10") << "9.7";
}

void tst_Paths::editSilentStops()
{
    QFETCH(QString, answer);
    fill({"/a||", "/b||"});
    f->prompter.type(answer);
    f->form->mnuFileEdit.trigger();
    QCOMPARE(f->prompter.shown().size(), size_t(1));
    QCOMPARE(entries(), (QStringList {"/a||", "/b||"}));
}

// An answer that does not begin with a digit is a new path set, put on top.
void tst_Paths::editNewPathSets_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("minus one") << "-1" << QStringList {"-1||", "/a|*.*|/b"};
    QTest::newRow("lower case") << "c:\\new|*.txt|d:\\x" << QStringList {"C:\\new|*.txt|D:\\x", "/a|*.*|/b"};
    QTest::newRow("listed apart from case") << "/A|*.*|/B" << QStringList {"/a|*.*|/b"};
    QTest::newRow("backslash") << "\\\\server\\share||" << QStringList {"\\\\server\\share||", "/a|*.*|/b"};
}

void tst_Paths::editNewPathSets()
{
    QFETCH(QString, answer);
    QFETCH(QStringList, after);
    fill({"/a|*.*|/b"});
    f->prompter.type(answer);
    f->form->mnuFileEdit.trigger();
    QCOMPARE(entries(), after);
}

// A slot number beyond 32 bits brings the overflow prompt; Ignore goes on with slot 0.
void tst_Paths::editOverflow()
{
    fill({"/a||"});
    f->prompter.type("99999999999");
    f->prompter.answer(MsgAnswer::Ignore);
    f->prompter.type("/edited||");
    f->form->mnuFileEdit.trigger();
    QCOMPARE(f->prompter.shown()[1].text, QStringLiteral("Error 6\nOverflow"));
    QCOMPARE(f->prompter.shown()[1].title, QStringLiteral("Error!"));
    QCOMPARE(entries(), QStringList {"/edited||"});
}

// Remove takes a slot out and moves the ones below up; slot 9 ends empty and hidden.
void tst_Paths::remove_data()
{
    QTest::addColumn<int>("shown");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("x removes slot 0") << 3 << "x" << QStringList {"/p1||", "/p2||"};
    QTest::newRow("2 of five") << 5 << "2" << QStringList {"/p0||", "/p1||", "/p3||", "/p4||"};
    QTest::newRow("9 of ten") << 10 << "9"
                              << QStringList {"/p0||", "/p1||", "/p2||", "/p3||", "/p4||", "/p5||", "/p6||", "/p7||", "/p8||"};
    QTest::newRow("hidden slot") << 2 << "5" << QStringList {"/p0||", "/p1||"};
    QTest::newRow("cancelled") << 2 << "" << QStringList {"/p0||", "/p1||"};
}

void tst_Paths::remove()
{
    QFETCH(int, shown);
    QFETCH(QString, answer);
    QFETCH(QStringList, after);
    QStringList list;
    for (int k = 0; k < shown; ++k)
        list << QString("/p%1||").arg(k);
    fill(list);
    f->prompter.type(answer);
    f->form->mnuFileRemove.trigger();
    const PromptRecord &box = f->prompter.shown().front();
    QCOMPARE(box.text, QStringLiteral("Remove which path (0-9) from the list?"));
    QCOMPARE(box.title, QStringLiteral("Remove Path"));
    QCOMPARE(box.defaultText, QString());
    QCOMPARE(entries(), after);
    QCOMPARE(slots_().visible(9), false);
    if (shown == 10)
        QCOMPARE(slots_().caption(9), QString());
}

// A slot number beyond 16 bits brings the overflow prompt; Ignore goes on with slot 0.
void tst_Paths::removeOverflowIgnoredRemovesSlotZero()
{
    fill({"/p0||", "/p1||"});
    f->prompter.type("40000");
    f->prompter.answer(MsgAnswer::Ignore);
    f->form->mnuFileRemove.trigger();
    QCOMPARE(f->prompter.shown()[1].text, QStringLiteral("Error 6\nOverflow"));
    QCOMPARE(entries(), QStringList {"/p1||"});
}

QTEST_MAIN(tst_Paths)
#include "tst_paths.moc"
