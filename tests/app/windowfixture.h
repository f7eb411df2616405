#pragma once
// The real window over two fresh folders for the window tests, with what a person does to it:
// keys pressed, boxes answered, the progress box acted on.

#include "app/mainwindow.h"
#include "app/workprogressbox.h"

#include "fixture.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace dyadix::test {

// The real window over two fresh folders; its boxes are scripted, or its own when asked.
struct WindowFixture : TwoFolders
{
    std::unique_ptr<MainWindow> window;

    // Starts on the given stored settings, answering the start-up's boxes with the keys given.
    explicit WindowFixture(bool scripted = true, const QMap<QString, QString> &stored = {}, const QString &answers = {})
    {
        for (auto value = stored.begin(); value != stored.end(); ++value)
            settings.values.insert("dyadix/Settings/" + value.key(), value.value());
        prompter.answerKeys(answers);
        window = std::make_unique<MainWindow>(fs, scripted ? &prompter : nullptr, settings, shell,
                                              ProgramInfo {"dyadix", 1, 8, 0, "DYX 261206"});
        window->start();
    }
    FormModel &form() { return window->form(); }
    QWidget *control(ControlId id) { return window->control(id); }
    // Shows L and R side by side, with every file on the left ticked when asked.
    bool showBoth(bool tickLeft = false)
    {
        const bool shown = form().pane(1).dirList.setPath(t("/L")).has_value() && form().pane(2).dirList.setPath(t("/R")).has_value();
        for (int i = 0; tickLeft && i < form().pane(1).lstFiles.ListCount(); ++i)
            form().pane(1).lstFiles.setSelected(i, true);
        return shown;
    }
};

// Presses keys ("Alt+M, M, Return") on a widget, else on the open menu or the focus widget;
// "width=N" makes the active window that wide.
inline void press(const QString &keys, QWidget *to = nullptr)
{
    for (const QString &key : keys.split(", ", Qt::SkipEmptyParts)) {
        if (QWidget *window = QApplication::activeWindow(); key.startsWith("width=")) {
            window->resize(key.mid(6).toInt(), window->height());
            QTRY_COMPARE(window->width(), key.mid(6).toInt());
            continue;
        }
        QWidget *target = to ? to : QApplication::activePopupWidget() ? QApplication::activePopupWidget() : QApplication::focusWidget();
        QVERIFY2(target != nullptr, qPrintable(key));
        QTest::keySequence(target, QKeySequence(key));
    }
}

// A box's buttons, in name order.
inline QString buttonsOf(const QMessageBox *box)
{
    QStringList buttons;
    for (QAbstractButton *button : box->buttons())
        buttons << button->text();
    return buttons.sort(), buttons.join(' ');
}

// Answers each of the window's own boxes with a key once it holds the keyboard (access keys work
// only then), recording "title|first line|buttons" and what a screen reader reads after the text.
struct BoxAnswerer : QObject
{
    explicit BoxAnswerer(const QString &key)
    {
        connect(&timer, &QTimer::timeout, this, [this, key] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (box == nullptr || box == answered || QApplication::activeWindow() != box)
                return;
            seen << box->windowTitle() + '|' + box->text().section('\n', 0, 0) + '|' + buttonsOf(box);
            if (QAccessibleInterface *read = QAccessible::queryAccessibleInterface(box); read && !read->text(QAccessible::Description).isEmpty())
                described << read->text(QAccessible::Description);
            press(key, answered = box);
        });
        timer.start(5);
    }
    QStringList seen;
    QStringList described; // what a screen reader reads after a box's text
    QTimer timer;
    QPointer<QMessageBox> answered;
};

// Once the work's progress box shows, does once what the user then does.
struct WhenWorkBoxShows : QObject
{
    WhenWorkBoxShows(MainWindow &window, const std::function<void(WorkProgressBox &)> &act)
    {
        connect(&timer, &QTimer::timeout, this, [&window, act, this] {
            WorkProgressBox *box = window.workBox();
            if (box == nullptr || !box->isVisible() || std::exchange(done, true))
                return;
            act(*box);
        });
        timer.start(5);
    }
    QTimer timer;
    bool done = false;
};

// The window tests' base: a fresh window over two fresh folders for each test function, its
// Left pane on the test's folder of two files.
class WindowTest : public QObject
{
    Q_OBJECT
protected:
    std::unique_ptr<WindowFixture> w;
    template <typename T> T *control(ControlId id) { return qobject_cast<T *>(w->control(id)); }
    QString ticks(int pane) { return summaryOf(w->form().pane(pane).lstFiles); }
private slots:
    void init()
    {
        w = std::make_unique<WindowFixture>();
        QVERIFY(writeFile(w->t("/one.txt"), "1", localTime(2024, 5, 6, 7, 8)));
        QVERIFY(writeFile(w->t("/two.txt"), "22", localTime(2024, 5, 6, 7, 9)));
        QVERIFY(w->form().pane(1).dirList.setPath(w->dir.path()).has_value());
        QVERIFY(QTest::qWaitForWindowExposed(w->window.get()));
    }
    void cleanup() { w.reset(); }
};

} // namespace dyadix::test
