#include "formfixture.h"

#include "help/helptexts.h"

#include <QTest>

using namespace dyadix;
using namespace dyadix::test;

class tst_Help : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void instructions();
    void aboutText();
    void aboutNoOpensNothing();
    void aboutYesOpensTheSite();
    void shellResults_data();
    void shellResults();
    void shellRunTimeError();

private:
    std::unique_ptr<FormFixture> f;
};

void tst_Help::init()
{
    f = std::make_unique<FormFixture>();
}

// The instructions box shows exactly its fifteen lines, empty after lines 1, 7 and 11.
void tst_Help::instructions()
{
    f->prompter.answer(MsgAnswer::Ok);
    f->form->mnuHelpHowTo.trigger();
    const PromptRecord &box = f->prompter.shown().front();
    QCOMPARE(box.title, QStringLiteral("How to use Dyadix"));
    QCOMPARE(box.style, 64);
    const QStringList lines = box.text.split('\n');
    QCOMPARE(lines, (QStringList {
                        "Dyadix will help you update folders with the latest file versions.", "",
                        "In each of the left and right-hand panes, select the drive",
                        "and folder you want to compare.  Click Match on the Menu.",
                        "Later files will be ticked (checked) in each pane.",
                        "Those not in one pane will be added (no date/time)",
                        "So that both panes can be synchronized.", "",
                        "Click Copy!> to copy marked files from Left to Right pane.",
                        "Click <Copy! to copy marked files from Right to Left pane.",
                        "You can also Move or Delete files.", "",
                        "When you Exit (File > Exit) the current Paths will be remembered.",
                        "To remember other Paths for re-use, click File > Add Path to List.",
                        "It will then appear in the File menu.  Click it to recall."}));
    QVERIFY(!box.text.endsWith('\n'));
}

// The About text reads the title of the moment, the version with its build stamp, the
// maker's lines and ends with the question.
void tst_Help::aboutText()
{
    f->prompter.answer(MsgAnswer::No);
    f->prompter.answer(MsgAnswer::No);
    f->form->mnuHelpAbout.trigger();
    f->form->setCaption("Dyadix");
    f->form->mnuHelpAbout.trigger();
    const QStringList first = f->prompter.shown()[0].text.split('\n');
    const QStringList second = f->prompter.shown()[1].text.split('\n');
    QCOMPARE(f->prompter.shown()[0].title, QStringLiteral("About Dyadix"));
    QCOMPARE(f->prompter.shown()[0].style, 68);
    QCOMPARE(first.size(), 15);
    QCOMPARE(first[0], QStringLiteral("Dyadix - Windows File-Matching Program"));
    QCOMPARE(second[0], QStringLiteral("Dyadix"));
    QCOMPARE(first[1], QStringLiteral("Version 1.8.0 - DYX 261206"));
    QVERIFY(first[6].startsWith("Web site: " + makerWebAddress() + "  e-mail: "));
    QCOMPARE(first[7], QString());
    QCOMPARE(first[9], QString());
    QCOMPARE(first[14], QStringLiteral("on our Web Site.  Go to web site now?"));
    QCOMPARE(first.mid(1), second.mid(1));
}

// No to the About question opens nothing and shows nothing more.
void tst_Help::aboutNoOpensNothing()
{
    f->prompter.answer(MsgAnswer::No);
    f->form->mnuHelpAbout.trigger();
    QCOMPARE(f->shell.opened(), QStringList());
    QCOMPARE(f->prompter.shown().size(), size_t(1));
}

// Yes opens the maker's web site, the address that line 7 shows.
void tst_Help::aboutYesOpensTheSite()
{
    f->prompter.answer(MsgAnswer::Yes);
    f->form->mnuHelpAbout.trigger();
    QCOMPARE(f->shell.opened(), QStringList {makerWebAddress()});
    QCOMPARE(f->prompter.shown().size(), size_t(1));
}

// A shell result of 32 or less is reported with its message; above 32 nothing is shown.
void tst_Help::shellResults_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("0") << 0 << "Unknown error 0";
    QTest::newRow("4") << 4 << "Unknown error 4";
    QTest::newRow("31") << 31 << "No association for file extension";
    QTest::newRow("32") << 32 << "DLL not found";
    QTest::newRow("33") << 33 << "";
}

void tst_Help::shellResults()
{
    QFETCH(int, code);
    QFETCH(QString, message);
    f->shell.setResult(code);
    f->prompter.answer(MsgAnswer::Yes);
    if (!message.isEmpty())
        f->prompter.answer(MsgAnswer::Ok);
    f->form->mnuHelpAbout.trigger();
    QCOMPARE(f->prompter.shown().size(), size_t(message.isEmpty() ? 1 : 2));
    if (!message.isEmpty()) {
        QCOMPARE(f->prompter.shown()[1].text, message);
        QCOMPARE(f->prompter.shown()[1].title, QStringLiteral("Error starting web browser"));
        QCOMPARE(f->prompter.shown()[1].style, 64);
    }
}

// A run-time error during the shell call gets its own box, titled with the program's name.
void tst_Help::shellRunTimeError()
{
    f->shell.failWith(ErrorNumber::FileNotFound);
    f->prompter.answer(MsgAnswer::Yes);
    f->prompter.answer(MsgAnswer::Ok);
    f->form->mnuHelpAbout.trigger();
    QCOMPARE(f->prompter.shown()[1].text, QStringLiteral("Error 53: File not found\nCould not start your browser."));
    QCOMPARE(f->prompter.shown()[1].title, QStringLiteral("Dyadix"));
    QCOMPARE(f->prompter.shown()[1].style, 64);
}

QTEST_MAIN(tst_Help)
#include "tst_help.moc"
