#include "app/qtprompter.h"
#include "app/workprogressbox.h"
#include "app/wrappingmenubar.h"

#include "app/desktopshell.h"
#include "app/mainwindow.h"

#include "fixture.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionViewItem>
#include <QTimer>
#include <QTableView>

#include <csignal>

using namespace dyadix;
using namespace dyadix::test;

namespace {
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
void press(const QString &keys, QWidget *to = nullptr)
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
QString buttonsOf(const QMessageBox *box)
{
    QStringList buttons;
    for (QAbstractButton *button : box->buttons())
        buttons << button->text();
    return buttons.sort(), buttons.join(' ');
}

// Answers each of the window's own boxes with a key once it holds the keyboard (access keys work
// only then), recording "title|first line|buttons".
struct BoxAnswerer : QObject
{
    explicit BoxAnswerer(const QString &key)
    {
        connect(&timer, &QTimer::timeout, this, [this, key] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (box == nullptr || box == answered || QApplication::activeWindow() != box)
                return;
            seen << box->windowTitle() + '|' + box->text().section('\n', 0, 0) + '|' + buttonsOf(box);
            press(key, answered = box);
        });
        timer.start(5);
    }
    QStringList seen;
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

// Stands for the desktop's browser: hears the addresses it is asked to open.
class Browser : public QObject
{
    Q_OBJECT
public:
    QStringList opened;
public slots:
    void open(const QUrl &url) { opened << url.toString(); }
};
} // namespace

// The real window, read as a person or a screen reader would, and driven with mouse and keys.
class tst_Window : public QObject
{
    Q_OBJECT
    std::unique_ptr<WindowFixture> w;
    template <typename T> T *control(ControlId id) { return qobject_cast<T *>(w->control(id)); }
    QString ticks(int pane) { return summaryOf(w->form().pane(pane).lstFiles); }

private slots:
    // The desktop's browser is handed a bare host name as a web address; an empty address is refused without asking it.
    void desktopBrowser()
    {
        Browser browser;
        QDesktopServices::setUrlHandler("http", &browser, "open");
        DesktopShell shell;
        const int opened = *shell.openWebAddress(" www.example.com "), refused = *shell.openWebAddress("  ");
        QDesktopServices::unsetUrlHandler("http");
        QCOMPARE(QString("%1 %2 %3").arg(opened).arg(refused).arg(browser.opened.join(' ')), QString("%1 %2 http://www.example.com").arg(ShellResult::Success).arg(ShellResult::FileNotFound));
    }

    void init()
    {
        w = std::make_unique<WindowFixture>();
        QVERIFY(writeFile(w->t("/one.txt"), "1", localTime(2024, 5, 6, 7, 8)));
        QVERIFY(writeFile(w->t("/two.txt"), "22", localTime(2024, 5, 6, 7, 9)));
        QVERIFY(w->form().pane(1).dirList.setPath(w->dir.path()).has_value());
        QVERIFY(QTest::qWaitForWindowExposed(w->window.get()));
    }
    void cleanup() { w.reset(); }

    // A screen reader finds the title, each control in tab order with its name and tool tip,
    // and every menu-bar item on screen at a narrow width too.
    void controlsAndMenus()
    {
        QCOMPARE(w->window->windowTitle(), QStringLiteral("Dyadix - Windows File-Matching Program"));
        // Its icon: two panes on a clear ground, with the green arrow between them.
        const QImage icon = w->window->windowIcon().pixmap(QSize(32, 32)).toImage();
        QCOMPARE(icon.size(), QSize(32, 32));
        QCOMPARE(QColor::fromRgba(icon.pixel(16, 15)), QColor(0x1e, 0x9e, 0x3a));
        QCOMPARE(QColor::fromRgba(icon.pixel(7, 7)), QColor(0xf3, 0xf3, 0xf3));
        QCOMPARE(qAlpha(icon.pixel(0, 0)), 0);
        QTRY_COMPARE(QApplication::focusWidget(), w->control(ControlId::txtSelect));
        QStringList seen;
        QWidget *control = w->control(ControlId::drvList1);
        for (int i = 0; i < 10; ++i, control = control->nextInFocusChain()) {
            while (control->focusPolicy() == Qt::NoFocus || control->inherits("QScrollBar"))
                control = control->nextInFocusChain();
            QWidget *shown = control->parentWidget()->inherits("QAbstractScrollArea") ? control->parentWidget() : control;
            QAccessibleInterface *reader = QAccessible::queryAccessibleInterface(shown);
            const auto *box = qobject_cast<QLineEdit *>(shown);
            // A status's tool tip is the status itself, long or short.
            const QString tip = box && box->isReadOnly() ? (shown->toolTip() == box->text() ? "(its text)" : "(not its text)") : shown->toolTip();
            seen << (shown->inherits("QComboBox") ? shown->accessibleName() + ": " + reader->text(QAccessible::Description)
                                                  : reader->text(QAccessible::Name) + ": " + tip);
        }
        QCOMPARE(seen.join('\n'), QStringLiteral("Left drive: Choose Left Drive\nFilter: Show which files? (*.* = all, comma separator) e.g. *.fr?, *.bas\n"
                                                 "Right drive: Choose Right Drive\nLeft folder: Double-click Left Folder\nRight folder: Double-click Right Folder\n"
                                                 "Left files: Check Left files to Copy/Move/Delete (or click Match)\nRight files: Check Right files to Copy/Move/Delete\n"
                                                 "Left status: (its text)\nRight status: (its text)\nLeft drive: Choose Left Drive"));
        QCOMPARE(w->control(ControlId::picDragBar)->toolTip(), QStringLiteral("Drag up or down to resize panes"));
        for (int width : {380, 200}) { // an entry moves to the second row, then there are four
            w->window->resize(width, w->window->height());
            QTRY_COMPARE(w->window->width(), width);
            QStringList menus;
            for (QMenuBar *row : w->window->menus()->rows()) {
                for (QAction *action : row->actions())
                    menus << action->text() + (row->rect().contains(row->actionGeometry(action)) ? "" : " (hidden)");
            }
            QCOMPARE(menus.join(' '), QStringLiteral("&File &Options &Match! &Copy!> <Cop&y! >&Move!> <Mo&ve!< >&Delete! De&lete!< &Help"));
            QTRY_COMPARE(w->window->centralWidget()->geometry().top(), w->window->menus()->geometry().bottom() + 1);
        }
    }

    // The menu bar holds every entry on one row where they fit and moves the last ones on where
    // they do not; at its narrowest, and in a larger font, every entry still shows whole.
    void menuBarRows()
    {
        WrappingMenuBar bar;
        const QStringList titles {"&File", "&Options", "&Match!", "&Copy!>", "<Cop&y!", ">&Move!>", "<Mo&ve!<", ">&Delete!", "De&lete!<", "&Help"};
        for (const QString &title : titles)
            bar.addEntry(new QAction(title, &bar));
        bar.show();
        auto layOut = [&](int width) {
            bar.resize(width, bar.height());
            QStringList rows;
            for (QMenuBar *row : bar.rows()) {
                QStringList entries;
                for (QAction *action : row->actions())
                    entries << action->text() + (row->rect().contains(row->actionGeometry(action)) ? "" : " (hidden)");
                rows << entries.join(' ');
            }
            const bool tall = bar.height() == int(bar.rows().size()) * bar.rows().front()->sizeHint().height();
            return QString("%1 %2%3").arg(rows.size()).arg(rows.join(" | ").count("(hidden)")).arg(tall ? "" : " (height)") + '\n' + rows.join(" | ");
        };
        const int whole = bar.sizeHint().width();
        QCOMPARE(layOut(whole).section('\n', 0, 0), QStringLiteral("1 0"));
        QCOMPARE(layOut(whole).section('\n', 1), titles.join(' '));
        const QString wrapped = layOut(whole - 1);
        QCOMPARE(wrapped.section('\n', 0, 0), QStringLiteral("2 0"));
        QCOMPARE(wrapped.section('\n', 1).section(" | ", 1), QStringLiteral("&Help"));
        QCOMPARE(layOut(bar.minimumSizeHint().width()).section(' ', 1, 1).section('\n', 0, 0), QStringLiteral("0"));
        QFont larger = bar.font();
        larger.setPointSizeF(larger.pointSizeF() * 2);
        bar.setFont(larger);
        QVERIFY(bar.sizeHint().width() > whole);
        QCOMPARE(layOut(whole).section('\n', 0, 0).section(' ', 1), QStringLiteral("0"));
        QVERIFY(bar.rows().size() > 1);
    }

    // At the designed size a name of up to twenty characters reads whole in its line; a longer
    // one is read by scrolling the list sideways with the keys, or whole in a wider window.
    void namesReadWhole()
    {
        const QString sixty = QString("a rather long file name that goes on and on for sixty.txt").leftJustified(60, 'x');
        const QStringList names {"plain.png", "only-left.doc", "newer-right.txt", "twenty-characters.tx", sixty};
        QVERIFY(QDir().mkpath(w->t("/names")));
        for (const QString &name : names)
            QVERIFY(writeFile(w->t("/names/") + name, "1"));
        QVERIFY(w->form().pane(1).dirList.setPath(w->t("/names")).has_value());
        auto *list = control<QTableView>(ControlId::lstFiles1);
        const QFontMetrics metrics(list->font());
        // Where the list draws a line's name, as its delegate lays it out.
        auto textRect = [&](int row) {
            QStyleOptionViewItem option;
            option.initFrom(list);
            option.rect = list->visualRect(list->model()->index(row, 0));
            option.features = QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::HasCheckIndicator;
            option.text = list->model()->index(row, 0).data().toString();
            option.font = list->font();
            return list->style()->subElementRect(QStyle::SE_ItemViewItemText, &option, list);
        };
        auto rowOf = [&](const QString &name) { return list->model()->match(list->model()->index(0, 0), Qt::DisplayRole, name).value(0).row(); };
        QTRY_VERIFY(!list->visualRect(list->model()->index(0, 0)).isEmpty());
        const QRect view = list->viewport()->rect();
        for (const QString &name : names.mid(0, 4)) {
            const QRect text = textRect(rowOf(name));
            QVERIFY2(text.width() >= metrics.horizontalAdvance(name) && view.contains(text.left(), text.top())
                         && text.left() + metrics.horizontalAdvance(name) <= view.right(),
                     qPrintable(QString("%1: %2 of %3 from %4 in %5").arg(name).arg(text.width()).arg(metrics.horizontalAdvance(name)).arg(text.left()).arg(view.width())));
        }
        const int row = rowOf(sixty);
        QVERIFY(textRect(row).width() >= metrics.horizontalAdvance(sixty));
        QVERIFY(textRect(row).left() + metrics.horizontalAdvance(sixty) > view.right()); // its end is out of view
        list->setFocus();
        for (int i = 0; i < 200 && list->horizontalScrollBar()->value() < list->horizontalScrollBar()->maximum(); ++i)
            QTest::keyClick(list, Qt::Key_Right);
        QVERIFY(textRect(row).left() + metrics.horizontalAdvance(sixty) <= view.right()); // now its end is in view
        for (int i = 0; i < 200 && list->horizontalScrollBar()->value() > 0; ++i)
            QTest::keyClick(list, Qt::Key_Left);
        QCOMPARE(textRect(row).left(), textRect(rowOf("plain.png")).left());
        QTest::keyClick(list, Qt::Key_End);
        const int last = list->currentIndex().row();
        QTest::keyClick(list, Qt::Key_Home);
        QCOMPARE(QString("%1 %2").arg(last).arg(list->currentIndex().row()), QString("%1 0").arg(names.size() - 1));
        // No grid: the foot of a line that is not the current one is the list's ground.
        const QRect second = list->visualRect(list->model()->index(1, 0));
        QCOMPARE(QColor(list->viewport()->grab().toImage().pixel(second.left() + 1, second.bottom() + 1)), list->palette().color(QPalette::Base));
        w->window->resize(1000, w->window->height());
        QTRY_VERIFY(textRect(row).left() + metrics.horizontalAdvance(sixty) <= list->viewport()->rect().right());
        QVERIFY(textRect(row).left() >= 0); // the whole name at once
    }

    // A screen reader tells the drive lists apart by their names, each with its drive as its value (the right one on a volume of its
    // own) and its list of drives, closed, as its child; it reads a status whole from its description, a file list's columns by their
    // headings, and finds every menu-bar entry where it is drawn, on either row.
    void readByAssistiveTechnology()
    {
        w->fs.addVolume(w->t("/R/"));
        w->form().mnuFileRefresh.trigger();
        DriveListModel &right = w->form().pane(2).drvList;
        right.chooseRow(right.match(right.index(0), DriveListModel::RootRole, w->t("/R/")).value(0).row());
        QStringList drives;
        for (ControlId id : {ControlId::drvList1, ControlId::drvList2}) {
            QAccessibleInterface *reader = QAccessible::queryAccessibleInterface(w->control(id));
            drives << reader->text(QAccessible::Name) + '=' + reader->text(QAccessible::Value) + (reader->role() == QAccessible::ComboBox ? "" : " (no combo box)")
                    + (reader->state().collapsed && !reader->state().expanded ? "" : " (not collapsed)")
                    + (reader->indexOfChild(reader->child(0)) == 0 ? "" : " (its list not its child)");
        }
        auto *driveList = control<QComboBox>(ControlId::drvList1);
        QAccessible::queryAccessibleInterface(driveList)->actionInterface()->doAction(QAccessibleActionInterface::showMenuAction());
        QTRY_VERIFY(driveList->view()->isVisible());
        driveList->hidePopup();
        const QString drive = driveList->currentText();
        QCOMPARE(drives.join(' '), QString("Left drive=%1 Right drive=%2").arg(drive, w->t("/R/")));
        const QString status = control<QLineEdit>(ControlId::txtStatus1)->text();
        QTRY_COMPARE(QAccessible::queryAccessibleInterface(w->control(ControlId::txtStatus1))->text(QAccessible::Description), status);
        QCOMPARE(w->control(ControlId::txtStatus1)->toolTip(), status);
        QAccessibleTableInterface *columns = QAccessible::queryAccessibleInterface(w->control(ControlId::lstFiles1))->tableInterface();
        QCOMPARE(columns->columnDescription(0) + ' ' + columns->columnDescription(1) + ' ' + columns->columnDescription(2), "Name Date Size");
        QVERIFY(w->window->menus()->rows().size() == 2); // the designed size wraps the menu bar
        QStringList entries;
        std::function<void(QAccessibleInterface *)> visit = [&](QAccessibleInterface *node) {
            for (int i = 0; i < node->childCount(); ++i) {
                QAccessibleInterface *child = node->child(i);
                if (child == nullptr)
                    continue;
                if (child->role() == QAccessible::MenuItem && node->role() == QAccessible::MenuBar) {
                    auto *row = qobject_cast<QMenuBar *>(node->object());
                    QAction *action = row ? row->actions().value(i) : nullptr;
                    const QRect drawn = action ? QRect(row->mapToGlobal(row->actionGeometry(action).topLeft()), row->actionGeometry(action).size()) : QRect();
                    entries << child->text(QAccessible::Name) + (child->rect() == drawn ? "" : " (not where drawn)")
                            + (w->window->frameGeometry().contains(child->rect()) ? "" : " (outside)");
                } else if (child->role() != QAccessible::PopupMenu) {
                    visit(child);
                }
            }
        };
        visit(QAccessible::queryAccessibleInterface(w->window.get()));
        QCOMPARE(entries.join(' '), QStringLiteral("File Options Match! Copy!> <Copy! >Move!> <Move!< >Delete! Delete!< Help"));
    }

    // A stored size that is no number, or too small for the window, still shows the window:
    // at its smallest size after Ignore, at its designed size after Abort.
    void badStoredSize_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("answer");
        for (const char *stored : {"Width=abc", "Width=-5", "Width=0", "Height=abc", "Height=1"})
            QTest::newRow(stored) << stored << (QString(stored).endsWith("abc") ? "I" : "");
        QTest::newRow("Width=abc, Abort") << "Width=abc" << "A";
    }
    void badStoredSize()
    {
        QFETCH(QString, stored);
        QFETCH(QString, answer);
        w = std::make_unique<WindowFixture>(true, QMap<QString, QString> {{stored.section('=', 0, 0), stored.section('=', 1)}}, answer);
        QVERIFY(QTest::qWaitForWindowExposed(w->window.get()) && w->window->isVisible());
        const QSize size = w->window->size(), least = MainWindow::SmallestSize;
        const bool width = stored.startsWith("Width"); // raised to its smallest: the minimum, well below the design
        QVERIFY2(answer == "A" ? size.width() == DesignedClientWidth / TwipsPerPixel
                               : size.expandedTo(least) == size && (width ? size.width() == least.width() : size.height() < 300),
                 qPrintable(QString("%1x%2").arg(size.width()).arg(size.height())));
        QCOMPARE(w->prompter.lines(), answer.isEmpty() ? QStringList() : QStringList {"Error in Sub GetSettings! (Abort Retry Ignore, Question): Error 13\nType mismatch"});
    }

    // Space ticks and unticks a line, and the status box counts the ticks in blue. The statuses
    // are grey while the lists differ, green once they read the same, whatever the names.
    void spaceTicks()
    {
        auto *status = control<QLineEdit>(ControlId::txtStatus1), *other = control<QLineEdit>(ControlId::txtStatus2);
        QCOMPARE(status->text(), QStringLiteral("2 files, 3 bytes, 2024/05/06 07:08 to 2024/05/06 07:09"));
        QTRY_COMPARE(status->palette().color(QPalette::Base).name(), QStringLiteral("#c0c0c0"));
        QVERIFY(writeFile(w->t("/R/uno"), "1", localTime(2024, 5, 6, 7, 8)) && writeFile(w->t("/R/dos"), "22", localTime(2024, 5, 6, 7, 9)));
        QVERIFY(w->form().pane(2).dirList.setPath(w->t("/R")).has_value());
        QTRY_COMPARE(status->palette().color(QPalette::Base).name() + other->palette().color(QPalette::Base).name(), QStringLiteral("#00ff00#00ff00"));
        QCOMPARE(QColor(status->grab().toImage().pixel(status->width() - 4, 3)).name(), QStringLiteral("#00ff00")); // painted, not only set
        auto *list = control<QTableView>(ControlId::lstFiles1);
        QTRY_VERIFY(!list->visualRect(list->model()->index(1, 0)).isEmpty());
        list->setFocus();
        list->setCurrentIndex(list->model()->index(1, 0));
        QTest::keyClick(list, Qt::Key_Space);
        QCOMPARE(ticks(1), QStringLiteral("one.txt two.txt+"));
        QTRY_COMPARE(status->text() + ' ' + status->palette().color(QPalette::Text).name() + other->palette().color(QPalette::Text).name(),
                     QStringLiteral("1 file selected. #0000ff#000000"));
        QTest::keyClick(list, Qt::Key_Space);
        QTRY_COMPARE(ticks(1) + ' ' + status->text(), QStringLiteral("one.txt two.txt 0 files selected."));
    }

    // The progress box reads what the work has done: file k of n and bytes, then the rate and time left after a second. Its bar fills by
    // bytes, by files where no file has bytes, and only moves where the count of files is not known (a listing).
    void progressBox()
    {
        WorkProgressBox box(w->window.get());
        auto *bar = box.findChild<QProgressBar *>();
        const std::pair<WorkProgress, QString> seen[] = {
            {{"Copying", 1, 10, 0, 999, 0}, "Copying file 1 of 10 - 0 bytes of 999 bytes|0 of 1000"},
            {{"Copying", 3, 10, 1200000, 5600000, 999}, "Copying file 3 of 10 - 1.2 MB of 5.6 MB|214 of 1000"},
            {{"Copying", 3, 10, 2000000, 12000000, 2000}, "Copying file 3 of 10 - 2.0 MB of 12.0 MB - 1.0 MB/s - 0:10 left|166 of 1000"},
            {{"Moving", 9, 10, 1000000, 3601000000, 1000}, "Moving file 9 of 10 - 1.0 MB of 3.6 GB - 1.0 MB/s - 1:00:00 left|0 of 1000"},
            {{"Deleting", 3, 4, 0, 0, 5000}, "Deleting file 3 of 4|500 of 1000"},
            {{"Copying", 1, 1, 0, 5000000000000000, 0}, "Copying file 1 of 1 - 0 bytes of 5000.0 TB|0 of 1000"},
            {{"Listing", 1234, 0, 0, 0, 0}, "Listing - 1234 files so far|0 of 0"}};
        for (const auto &[progress, expected] : seen) {
            box.showProgress(progress);
            QCOMPARE(box.text() + QString("|%1 of %2").arg(bar->value()).arg(bar->maximum()), expected);
        }
    }

    // The bar dropped 40 pixels down a file list lowers the folder lists' end by 40 pixels, the
    // file lists' top with it; dropped on a folder list, they end where it was dropped.
    void dragTheBar()
    {
        QWidget *bar = w->control(ControlId::picDragBar), *folders = w->control(ControlId::dirList2), *files = w->control(ControlId::lstFiles2);
        auto drop = [&](QWidget *on, int y) {
            QTest::mousePress(bar, Qt::LeftButton, {}, bar->rect().center());
            QTest::mouseRelease(bar, Qt::LeftButton, {}, bar->mapFromGlobal(on->mapToGlobal(QPoint(on->width() / 2, y))));
            return QString("%1 %2").arg(folders->height()).arg(files->y() - bar->y());
        };
        const int height = folders->height(), gap = files->y() - bar->y();
        QCOMPARE(drop(files, 40), QString("%1 %2").arg(height + 40).arg(gap));
        QCOMPARE(drop(folders, 30), QString("%1 %2").arg(30).arg(gap));
    }

    // On X, each menu-bar access key opens its menu or asks its question (M, shared by Match
    // and Move, highlights them in turn), boxes take their access keys and Escape is No.
    void keys_data()
    {
        QTest::addColumn<QString>("ticks");  // the panes whose first line is ticked
        QTest::addColumn<bool>("diskFull");  // the copy fails once, with no question first
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("answer"); // the key for the box
        QTest::addColumn<QString>("seen");   // the menu or box that showed
        QTest::addColumn<QString>("after");  // right/a, then the panes' lines
        const QString copy = "Copy Left to Right >>>?|You are about to Copy 1 marked files|&No &Yes";
        const QString move = "Move Left to Right >>>?|You are about to Move 1 marked files|&No &Yes";
        const QString error = "Error!|Error 61|&Abort &Ignore &Retry", kept = "old|a+|a+ b";
        QTest::newRow("Alt+F") << "12" << false << "Alt+F" << "" << "&File" << kept;
        QTest::newRow("Alt+C") << "12" << false << "Alt+C" << "Esc" << copy << kept;
        QTest::newRow("Alt+Y") << "12" << false << "Alt+Y" << "Esc" << "Copy <<< Right to Left?|You are about to Copy 1 marked files|&No &Yes" << kept;
        QTest::newRow("Alt+M, M, Return") << "12" << false << "Alt+M, M, Return" << "Esc" << move << kept;
        QTest::newRow("narrow, Alt+M, M, Return") << "12" << false << "width=200, Alt+M, M, Return" << "Esc" << move << kept;
        QTest::newRow("narrow, Alt+M, M, widened") << "12" << false << "width=200, Alt+M, M, width=1000" << "" << "" << kept;
        QTest::newRow("narrow, Alt+M, M, Escape") << "12" << false << "width=200, Alt+M, M" << "" << "" << kept;
        QTest::newRow("Alt+D") << "12" << false << "Alt+D" << "Esc" << "DELETE from >> Left?|You are about to DELETE 1 marked files from|&No &Yes" << kept;
        QTest::newRow("Alt+L") << "12" << false << "Alt+L" << "Esc" << "DELETE from Right <<?|You are about to DELETE 1 marked files from|&No &Yes" << kept;
        QTest::newRow("Alt+C, Alt+Y copies") << "1" << false << "Alt+C" << "Alt+Y" << copy << "new|a|a b";
        QTest::newRow("Alt+C, Alt+N keeps") << "1" << false << "Alt+C" << "Alt+N" << copy << "old|a+|a b";
        QTest::newRow("Alt+M, Return matches") << "1" << false << "Alt+M, Return" << "" << "" << "old|a+ b~|a b+";
        QTest::newRow("Alt+M, Escape leaves") << "1" << false << "Alt+M, Esc" << "" << "" << "old|a+|a b";
        QTest::newRow("Alt+M alone matches") << "" << false << "Alt+M" << "" << "" << "old|a+ b~|a b+";
        QTest::newRow("disk full, Alt+R") << "1" << true << "Alt+C" << "Alt+R" << error << "new|a|a b";
        QTest::newRow("disk full, Alt+A") << "1" << true << "Alt+C" << "Alt+A" << error << "old|a+|a b";
    }
    void keys()
    {
        QFETCH(QString, ticks);
        QFETCH(bool, diskFull);
        QFETCH(QString, keys);
        QFETCH(QString, answer);
        QFETCH(QString, seen);
        QFETCH(QString, after);
        if (QGuiApplication::platformName() != "xcb")
            QSKIP("keys need a real X server: offscreen windows take no key focus (the _x11 run tests this)");
        w.reset();
        w = std::make_unique<WindowFixture>(false);
        QVERIFY(writeFile(w->t("/L/a"), "new", localTime(2024, 5, 6, 7, 8)) && writeFile(w->t("/R/a"), "old", localTime(2020, 1, 2, 3, 4)));
        QVERIFY(writeFile(w->t("/R/b"), "bee", localTime(2021, 1, 2, 3, 4)));
        QVERIFY(QTest::qWaitForWindowExposed(w->window.get()) && QTest::qWaitForWindowActive(w->window.get()));
        QVERIFY(w->showBoth());
        QTRY_COMPARE(QApplication::focusWidget(), w->control(ControlId::txtSelect));
        for (int pane : {1, 2})
            w->form().pane(pane).lstFiles.setSelected(0, ticks.contains(QString::number(pane)));
        if (diskFull) {
            w->fs.failOn(FsOperation::FileCopy, ErrorNumber::DiskFull);
            w->form().mnuOptionAction.setChecked(false);
        }
        BoxAnswerer answerer(answer);
        press(keys);
        if (keys.endsWith("Alt+M, M")) { // the highlight has moved to Move, on the second row, and left Match
            QStringList lit;
            for (QMenuBar *row : w->window->menus()->rows())
                lit << (row->activeAction() ? row->activeAction()->text() : "-");
            QCOMPARE(lit.join(' '), QStringLiteral("- - >&Move!> -"));
            press("Esc");
        }
        if (answer.isEmpty() && !seen.isEmpty()) {
            auto *open = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            QCOMPARE(open ? open->title() : QString(), seen);
            press("Esc, Esc"); // the first closes the menu, the second leaves the bar
            QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
        } else {
            QCOMPARE(answerer.seen, seen.isEmpty() ? QStringList() : QStringList {seen});
        }
        QCOMPARE(readFile(w->t("/R/a")) + '|' + summaryOf(w->form().pane(1).lstFiles) + '|' + summaryOf(w->form().pane(2).lstFiles), after);
        QCOMPARE(namesIn(w->t("/L")), QStringList {"a"});
        QTRY_COMPARE(QApplication::focusWidget(), w->control(ControlId::txtSelect));
    }

    // An input box gives back what was typed after Return, nothing after Escape.
    void inputBoxAnswers()
    {
        QtPrompter prompter;
        QStringList typed;
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
            QTimer typist;
            connect(&typist, &QTimer::timeout, [&typist, key] {
                auto *open = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
                if (open == nullptr || !open->isVisible())
                    return;
                typist.stop();
                QLineEdit *line = open->findChild<QLineEdit *>();
                QTest::keyClicks(line, "/new");
                QTest::keyClick(line, key);
            });
            typist.start(10);
            typed << prompter.InputBox("Edit which path?", "Edit Path", "/old");
        }
        QCOMPARE(typed.join('|'), QStringLiteral("/new|"));
    }

    // Each Ctrl shortcut works from every control, the filter box keeps its editing keys, and
    // Ctrl+Q ends unsaved (and ends the event loops: no later test has boxes of its own).
    void ctrlShortcuts_data()
    {
        QTest::addColumn<ControlId>("start");
        for (ControlId id : {ControlId::txtSelect, ControlId::lstFiles1, ControlId::lstFiles2, ControlId::dirList1, ControlId::drvList2})
            QTest::addRow("control %d", int(id)) << id;
    }
    void ctrlShortcuts()
    {
        QFETCH(ControlId, start);
        QWidget *focus = w->control(start);
        focus->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(w->window.get()));
        QTRY_COMPARE(QApplication::focusWidget(), focus);
        FormModel &form = w->form();
        QTest::keyClick(focus, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(focus, Qt::Key_S, Qt::ControlModifier);
        QTest::keyClick(focus, Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(form.recallSlots().entry(0), w->dir.path() + "|*.*|" + w->dir.path());
        QVERIFY(form.mnuOptionSynch.isChecked() && form.mnuOptionSyncFoldr.isChecked());
        for (Qt::Key key : {Qt::Key_E, Qt::Key_D, Qt::Key_T, Qt::Key_B}) {
            w->prompter.type(QString());
            w->prompter.answer(MsgAnswer::Ok);
            QTest::keyClick(focus, key, Qt::ControlModifier);
        }
        QStringList titles;
        for (const PromptRecord &box : w->prompter.shown())
            titles << (box.style < 0 ? box.title : box.line()); // the input boxes by their titles
        QCOMPARE(titles.join('|'), QStringLiteral("Edit Path|Remove Path|Export Text file for Excel:|Sorry! (OK, Exclamation): This option is not yet available!"));
        if (auto *filter = qobject_cast<QLineEdit *>(focus)) {
            w->form().txtSelect.setText("*.doc");
            QCOMPARE(filter->text(), QStringLiteral("*.doc")); // the filter shows a new one at once
            filter->setText("*.txt");
            for (const QString keys : {"Home", "Shift+Right", "Ctrl+C", "End", "Ctrl+V", "Backspace", "X"})
                QTest::keySequence(filter, QKeySequence(keys));
            QCOMPARE(filter->text() + QApplication::clipboard()->text(), QStringLiteral("*.txtx*"));
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Q, Qt::ControlModifier);
        w->window->close();
        QVERIFY(w->settings.values.isEmpty());
    }

    // Each box style gives its buttons, icon, default and a safe Escape, in plain text; so do input boxes.
    void boxes()
    {
        QtPrompter prompter;
        QStringList seen;
        for (int style : {34, 292, 35, 36, 48, 64, 68}) {
            auto box = prompter.buildMessageBox("Copy <b>a</b> & <<<", style, "Move <<< Right?");
            seen << QString("%1: %2|%3|%4|%5").arg(style).arg(buttonsOf(box.get())).arg(box->icon()).arg(box->defaultButton()->text(), box->escapeButton()->text());
            QCOMPARE(box->windowTitle() + '|' + box->text() + '|' + QString::number(box->textFormat()), QStringLiteral("Move <<< Right?|Copy <b>a</b> & <<<|0"));
        }
        QCOMPARE(seen.join('\n'), QStringLiteral("34: &Abort &Ignore &Retry|4|&Abort|&Abort\n292: &No &Yes|4|&No|&No\n35: &No &Yes Cancel|4|&Yes|Cancel\n"
                                                 "36: &No &Yes|4|&Yes|&No\n48: &OK|2|&OK|&OK\n64: &OK|1|&OK|&OK\n68: &No &Yes|1|&Yes|&No"));
        auto input = prompter.buildInputBox("Edit which path?\n<pasted> & more", "Edit Path", "0");
        QCOMPARE(input->windowTitle() + '|' + input->labelText() + '|' + input->textValue(), QStringLiteral("Edit Path|Edit which path?\n<pasted> & more|0"));
    }

    // Escape asks "Stop after this file?"; Yes ends after it, leaving the rest ticked and untouched.
    void stopAfterThisFile_data()
    {
        QTest::addColumn<int>("command");  // copy or move 1 or 3; 0: delete the left's files
        QTest::addColumn<QString>("third"); // the third file's copy: "stuck" (it waits on the system), "slow" (a large file still moving)
        QTest::addColumn<QString>("after"); // left | right | the left's ticks
        QTest::newRow("copy") << 1 << "" << "f1 f2 f3 f4 f5 f6|f1 f2 f3|f1 f2 f3 f4+ f5+ f6+";
        QTest::newRow("move") << 3 << "" << "f4 f5 f6|f1 f2 f3|f1 f2 f3 f4+ f5+ f6+";
        QTest::newRow("delete") << 0 << "" << "f1 f2 f3||f1+ f2+ f3+"; // from the last line up
        // A second after Yes, a file in hand that does not end is left as it was; one whose bytes still move is finished.
        QTest::newRow("copy, the file in hand stuck") << 1 << "stuck" << "f1 f2 f3 f4 f5 f6|f1 f2|f1 f2 f3+ f4+ f5+ f6+";
        QTest::newRow("copy, a large file in hand still moving") << 1 << "slow" << "f1 f2 f3 f4 f5 f6|f1 f2 f3|f1 f2 f3 f4+ f5+ f6+";
    }
    void stopAfterThisFile()
    {
        QFETCH(int, command);
        QFETCH(QString, third);
        QFETCH(QString, after);
        for (int i = 1; i <= 6; ++i)
            QVERIFY(writeFile(w->t("/L/f%1").arg(i), i == 3 && third == "slow" ? QByteArray(8 << 20, '3') : QByteArray::number(i)));
        w->form().mnuOptionAction.setChecked(false);
        QVERIFY(w->showBoth(true));
        const QString inHand = command == 0 ? "Deleting " + w->t("/L/f4") : w->t("/L/f3 to ");
        connect(&w->form(), &FormModel::captionChanged, this, [&] {
            if (!w->form().Caption().contains(inHand))
                return;
            if (third == "stuck")
                w->fs.holdNextWorkUntilStopped();
            if (third == "slow")
                w->fs.slowNextCopy();
            QTest::keyClick(w->window->workBox(), Qt::Key_Escape);
        });
        w->prompter.answer(MsgAnswer::Yes);
        (command == 0 ? w->form().mnuDel(1) : w->form().mnuCopy(command))->trigger();
        QCOMPARE(w->prompter.shown().at(0).line().section('\n', 0, 0), QStringLiteral("Stop (Yes No, Question): Stop after this file?"));
        QCOMPARE(namesIn(w->t("/L")).join(' ') + '|' + namesIn(w->t("/R")).join(' ') + '|' + ticks(1), after);
        QCOMPARE(w->form().Caption(), QStringLiteral("Dyadix"));
    }

    // Comparing contents shows its progress in the box; Stop, then Yes, ends it at once: the pair in hand keeps its tick, the statuses
    // say so, and the box goes. While a tree is listed, the pointer is busy.
    void comparingShowsAndStops()
    {
        QVERIFY(writeFile(w->t("/L/big"), QByteArray(3 << 20, 'N'), localTime(2024, 1, 2, 0, 0)) && writeFile(w->t("/R/big"), QByteArray(3 << 20, 'N'), localTime(2023, 1, 2, 0, 0)));
        w->form().mnuOptionContents.setChecked(true);
        w->form().mnuOptionSubfolders.setChecked(true);
        bool busy = false;
        w->fs.onTreeBatch = [&] { busy = busy || (QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor); };
        QVERIFY(w->showBoth());
        w->fs.holdNextWorkUntilStopped();
        QString boxText;
        WhenWorkBoxShows stop(*w->window, [&](WorkProgressBox &box) {
            boxText = box.text();
            w->prompter.answer(MsgAnswer::Yes);
            box.stopButton()->click();
        });
        w->form().mnuMatch.trigger();
        QVERIFY2(boxText.startsWith("Comparing file 1 of 1 - "), qPrintable(boxText));
        QCOMPARE(w->prompter.lines().value(0), QStringLiteral("Stop (Yes No, Question): Stop comparing here?\n\nThe pairs not yet compared keep the ticks their times gave them."));
        QCOMPARE(ticks(1) + " | " + w->form().pane(1).txtStatus.Text(), QStringLiteral("big+ | 1 file selected. 1 pair not compared."));
        QVERIFY(!w->window->workBox()->isVisible() && busy && QApplication::overrideCursor() == nullptr);
    }

    // The window's close box (the close request a window manager sends it) works while a copy runs, before its progress box shows
    // too: the copy stops at once, the target stays as it was, the window closes.
    void closeBoxDuringCopy()
    {
        if (QGuiApplication::platformName() != "xcb")
            QSKIP("a close request comes through an X server (the _x11 run tests this)");
        QVERIFY(writeFile(w->t("/L/1big"), QByteArray(3 << 20, 'N')) && writeFile(w->t("/R/1big"), "old content", localTime(2020, 1, 1, 0, 0)));
        w->form().mnuOptionAction.setChecked(false);
        QVERIFY(w->showBoth(true));
        w->fs.holdNextWorkUntilStopped();
        int sent = -1; // as soon as the copy has begun, before its progress box shows
        connect(&w->form(), &FormModel::captionChanged, this, [&] {
            if (sent == -1 && w->form().Caption().startsWith("Copying"))
                sent = QProcess::execute(CLOSE_REQUEST, {QString::number(w->window->winId())});
        });
        QElapsedTimer clock;
        clock.start();
        w->form().mnuCopy(1)->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!w->window->isVisible(), 5000);
        QCOMPARE(sent, 0);
        QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed()))); // a held copy not stopped runs 20 s
        QCOMPARE(readFile(w->t("/R/1big")), QByteArray("old content"));
    }

    // Closing or SIGTERM during a large copy stops at once, losing nothing, and stores the settings.
    void closingStopsTheFileAtOnce_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<bool>("bySignal");
        QTest::newRow("copy, window closed") << 1 << false;
        QTest::newRow("move, SIGTERM") << 3 << true;
    }
    void closingStopsTheFileAtOnce()
    {
        QFETCH(int, command);
        QFETCH(bool, bySignal);
        const std::int64_t old = localTime(2020, 1, 1, 0, 0);
        QVERIFY(writeFile(w->t("/L/1big"), QByteArray(3 << 20, 'N')) && writeFile(w->t("/L/2after"), "after"));
        QVERIFY(writeFile(w->t("/R/1big"), "old content", old));
        w->form().mnuOptionAction.setChecked(false);
        QVERIFY(w->showBoth(true));
        w->fs.holdNextWorkUntilStopped();
        QString boxText;
        WhenWorkBoxShows end(*w->window, [&](WorkProgressBox &box) {
            // The window takes no input meanwhile: Space on a ticked line leaves it ticked.
            QWidget *list = w->control(ControlId::lstFiles1);
            QTest::keyClick(list, Qt::Key_Space);
            boxText = box.text() + (ticks(1).startsWith("1big+") ? " held " : " ") + box.stopButton()->text();
            bySignal ? void(::raise(SIGTERM)) : void(w->window->close());
        });
        w->form().mnuCopy(command)->trigger();
        QTRY_VERIFY(!w->window->isVisible());
        QVERIFY2(boxText.startsWith(command == 1 ? "Copying file 1 of 2 - " : "Moving file 1 of 2 - ") && boxText.endsWith(" held &Stop"), qPrintable(boxText));
        QCOMPARE(readFile(w->t("/R/1big")), QByteArray("old content"));
        QCOMPARE(modifiedOf(w->t("/R/1big")), old);
        QCOMPARE(namesIn(w->t("/R")) + namesIn(w->t("/L")), (QStringList {"1big", "1big", "2after"}));
        QCOMPARE(ticks(1), QStringLiteral("1big+ 2after+"));
        QVERIFY(w->prompter.shown().empty() && !w->settings.values.isEmpty());
    }
};

QTEST_MAIN(tst_Window)
#include "tst_window.moc"
