#include "app/qtprompter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

using namespace dyadix;

class tst_QtPrompter : public QObject
{
    Q_OBJECT

private slots:
    void messageBoxes_data();
    void messageBoxes();
    void textIsPlain();
    void answers_data();
    void answers();
    void inputBox();
    void keysAnswer_data();
    void keysAnswer();
};

// Each style value gives exactly its buttons, each with its access key, its icon, default and
// a safe Escape.
void tst_QtPrompter::messageBoxes_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("defaultButton");
    QTest::addColumn<QString>("escapeButton");
    QTest::newRow("error prompt 34")
        << 34 << QStringList {"&Abort", "&Retry", "&Ignore"} << int(QMessageBox::Question)
        << "&Abort" << "&Abort";
    QTest::newRow("confirmation 292") << 292 << QStringList {"&Yes", "&No"}
                                      << int(QMessageBox::Question) << "&No" << "&No";
    QTest::newRow("target warning 35") << 35 << QStringList {"&Yes", "&No", "Cancel"}
                                       << int(QMessageBox::Question) << "&Yes" << "Cancel";
    QTest::newRow("sync question 36") << 36 << QStringList {"&Yes", "&No"}
                                      << int(QMessageBox::Question) << "&Yes" << "&No";
    QTest::newRow("sorry 48") << 48 << QStringList {"&OK"} << int(QMessageBox::Warning) << "&OK"
                              << "&OK";
    QTest::newRow("instructions 64") << 64 << QStringList {"&OK"}
                                     << int(QMessageBox::Information) << "&OK" << "&OK";
    QTest::newRow("about 68") << 68 << QStringList {"&Yes", "&No"}
                              << int(QMessageBox::Information) << "&Yes" << "&No";
}

void tst_QtPrompter::messageBoxes()
{
    QFETCH(int, style);
    QFETCH(QStringList, buttons);
    QFETCH(int, icon);
    QFETCH(QString, defaultButton);
    QFETCH(QString, escapeButton);

    QtPrompter prompter;
    auto box = prompter.buildMessageBox("Error 53\nFile not found", style, "Error!");
    QCOMPARE(box->windowTitle(), QStringLiteral("Error!"));
    QCOMPARE(box->text(), QStringLiteral("Error 53\nFile not found"));
    QCOMPARE(int(box->icon()), icon);
    QStringList shown;
    for (QAbstractButton *button : box->buttons())
        shown << box->button(box->standardButton(button))->text();
    shown.sort();
    QStringList sortedButtons = buttons;
    sortedButtons.sort();
    QCOMPARE(shown, sortedButtons);
    QCOMPARE(box->defaultButton()->text(), defaultButton);
    QCOMPARE(box->escapeButton()->text(), escapeButton);
}

// Texts are shown as written: "<<<" and "&" never turn into markup or access keys.
void tst_QtPrompter::textIsPlain()
{
    QtPrompter prompter;
    auto box = prompter.buildMessageBox("Copy <b>a</b> & <<< Right", 292, "Move <<< Right to Left?");
    QCOMPARE(box->textFormat(), Qt::PlainText);
    QCOMPARE(box->windowTitle(), QStringLiteral("Move <<< Right to Left?"));
}

// A click on each button gives its answer number.
void tst_QtPrompter::answers_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("answer");
    QTest::newRow("abort") << 34 << int(QMessageBox::Abort) << 3;
    QTest::newRow("retry") << 34 << int(QMessageBox::Retry) << 4;
    QTest::newRow("ignore") << 34 << int(QMessageBox::Ignore) << 5;
    QTest::newRow("yes") << 35 << int(QMessageBox::Yes) << 6;
    QTest::newRow("no") << 35 << int(QMessageBox::No) << 7;
    QTest::newRow("cancel") << 35 << int(QMessageBox::Cancel) << 2;
    QTest::newRow("ok") << 64 << int(QMessageBox::Ok) << 1;
}

void tst_QtPrompter::answers()
{
    QFETCH(int, style);
    QFETCH(int, button);
    QFETCH(int, answer);
    QtPrompter prompter;
    auto box = prompter.buildMessageBox("text", style, "title");
    box->show();
    QTest::mouseClick(box->button(QMessageBox::StandardButton(button)), Qt::LeftButton);
    QCOMPARE(int(QtPrompter::answerOf(*box)), answer);
}

// The input box shows its prompt lines, title and default text.
void tst_QtPrompter::inputBox()
{
    QtPrompter prompter;
    const QString prompt = "Edit which path (0-9) from the list?\n<pasted> & more";
    auto dialog = prompter.buildInputBox(prompt, "Edit Path", "0");
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Edit Path"));
    QCOMPARE(dialog->labelText(), prompt);
    QCOMPARE(dialog->textValue(), QStringLiteral("0"));
    const QList<QLabel *> labels = dialog->findChildren<QLabel *>();
    QVERIFY(!labels.isEmpty());
    for (QLabel *label : labels)
        QCOMPARE(label->textFormat(), Qt::PlainText);
}

// Alt and a button's letter answers a box, as Escape and Enter do.
void tst_QtPrompter::keysAnswer_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("answer");
    const int alt = int(Qt::AltModifier);
    QTest::newRow("Alt+A abort") << 34 << int(Qt::Key_A) << alt << 3;
    QTest::newRow("Alt+R retry") << 34 << int(Qt::Key_R) << alt << 4;
    QTest::newRow("Alt+I ignore") << 34 << int(Qt::Key_I) << alt << 5;
    QTest::newRow("Alt+Y yes") << 292 << int(Qt::Key_Y) << alt << 6;
    QTest::newRow("Alt+N no") << 35 << int(Qt::Key_N) << alt << 7;
    QTest::newRow("Escape cancel") << 35 << int(Qt::Key_Escape) << 0 << 2;
    QTest::newRow("Enter takes the default No") << 292 << int(Qt::Key_Return) << 0 << 7;
    QTest::newRow("Alt+O ok") << 64 << int(Qt::Key_O) << alt << 1;
}

void tst_QtPrompter::keysAnswer()
{
    QFETCH(int, style);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, answer);
    QtPrompter prompter;
    auto box = prompter.buildMessageBox("text", style, "title");
    box->show();
    QVERIFY(QTest::qWaitForWindowActive(box.get()));
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : box.get(),
                    Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QTRY_VERIFY(box->clickedButton() != nullptr); // an access key clicks as a short animation
    QCOMPARE(int(QtPrompter::answerOf(*box)), answer);
}

QTEST_MAIN(tst_QtPrompter)
#include "tst_qtprompter.moc"
