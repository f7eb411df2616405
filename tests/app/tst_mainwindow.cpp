#include "app/mainwindow.h"
#include "app/wrappingmenubar.h"

#include "faultyfilesystem.h"
#include "memorysettingsstore.h"
#include "recordingshell.h"
#include "scriptedprompter.h"
#include "tempfiles.h"

#include "runtime/nativefilesystem.h"

#include <QAccessible>
#include <QToolTip>
#include <QHelpEvent>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QScrollBar>
#include <QSignalSpy>
#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QTreeView>
#include <QWheelEvent>

using namespace dyadix;
using namespace dyadix::test;

class tst_MainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void titleAndIcon();
    void controls_data();
    void controls();
    void tabOrder();
    void menuBar_data();
    void menuBar();
    void spaceAndClickTick();
    void doubleClickOpensFolder();
    void typingInTheFilterListsNothing();
    void statusBoxShowsColours();
    void columnsShowInFull();
    void accessibleNames();
    void resizeAndDragTheSplitter();
    void dropsElsewhereChangeNothing_data();
    void dropsElsewhereChangeNothing();
    void wheelScrollingMirrors();
    void ctrlShortcutsFromEveryControl_data();
    void ctrlShortcutsFromEveryControl();

private:
    NativeFileSystem m_realFs;
    std::unique_ptr<FaultyFileSystem> m_fs;
    ScriptedPrompter m_prompter;
    MemorySettingsStore m_settings;
    RecordingShell m_shell;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<MainWindow> m_window;
    QString m_oldCurrent;
};

void tst_MainWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir(m_dir->path()).mkdir("sub"));
    QVERIFY(writeFile(m_dir->path() + "/one.txt", "1", localTime(2024, 5, 6, 7, 8)));
    QVERIFY(writeFile(m_dir->path() + "/two.txt", "22", localTime(2024, 5, 6, 7, 9)));
    m_oldCurrent = QDir::currentPath();
    QDir::setCurrent(m_dir->path());
    m_fs = std::make_unique<FaultyFileSystem>(m_realFs);
    m_window = std::make_unique<MainWindow>(*m_fs, &m_prompter, m_settings, m_shell,
                                            ProgramInfo {"dyadix", 1, 8, 0, "DYX 261206"});
    m_window->start();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void tst_MainWindow::cleanup()
{
    m_window.reset();
    QDir::setCurrent(m_oldCurrent);
}

// The window carries its caption and an icon in 16 and 32 pixels.
void tst_MainWindow::titleAndIcon()
{
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Dyadix - Windows File-Matching Program"));
    const QList<QSize> sizes = m_window->windowIcon().availableSizes();
    QVERIFY(sizes.contains(QSize(16, 16)));
    QVERIFY(sizes.contains(QSize(32, 32)));
    m_window->form().setCaption("Dyadix");
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Dyadix"));
}

// Each control is of its kind and shows its tool tip.
void tst_MainWindow::controls_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("toolTip");
    QTest::newRow("drvList(1)") << int(ControlId::drvList1) << "QComboBox" << "Choose Left Drive";
    QTest::newRow("txtSelect") << int(ControlId::txtSelect) << "QLineEdit"
                               << "Show which files? (*.* = all, comma separator) e.g. *.fr?, *.bas";
    QTest::newRow("drvList(2)") << int(ControlId::drvList2) << "QComboBox" << "Choose Right Drive";
    QTest::newRow("dirList(1)") << int(ControlId::dirList1) << "QListView" << "Double-click Left Folder";
    QTest::newRow("dirList(2)") << int(ControlId::dirList2) << "QListView" << "Double-click Right Folder";
    QTest::newRow("lstFiles(1)") << int(ControlId::lstFiles1) << "QTreeView"
                                 << "Check Left files to Copy/Move/Delete (or click Match)";
    QTest::newRow("lstFiles(2)") << int(ControlId::lstFiles2) << "QTreeView"
                                 << "Check Right files to Copy/Move/Delete";
    QTest::newRow("txtStatus(1)") << int(ControlId::txtStatus1) << "QLineEdit" << "";
    QTest::newRow("txtStatus(2)") << int(ControlId::txtStatus2) << "QLineEdit" << "";
    QTest::newRow("picDragBar") << int(ControlId::picDragBar) << "QFrame" << "Drag up or down to resize panes";
}

void tst_MainWindow::controls()
{
    QFETCH(int, id);
    QFETCH(QString, className);
    QFETCH(QString, toolTip);
    QWidget *control = m_window->control(ControlId(id));
    QVERIFY(control->inherits(className.toLatin1().constData()));
    QCOMPARE(control->toolTip(), toolTip);
    QVERIFY(control->isVisible());
}

// Tab moves through the controls in their designed order, starting at the filter box.
void tst_MainWindow::tabOrder()
{
    QTRY_COMPARE(QApplication::focusWidget(), m_window->control(ControlId::txtSelect));
    const ControlId order[] = {ControlId::drvList1, ControlId::txtSelect, ControlId::drvList2,
                               ControlId::dirList1, ControlId::dirList2, ControlId::lstFiles1,
                               ControlId::lstFiles2, ControlId::txtStatus1, ControlId::txtStatus2};
    for (size_t i = 0; i + 1 < std::size(order); ++i) {
        QWidget *next = m_window->control(order[i])->nextInFocusChain();
        while (next != nullptr && next->focusPolicy() == Qt::NoFocus)
            next = next->nextInFocusChain();
        // Scroll areas keep their viewport in the chain; the control itself follows.
        QWidget *expected = m_window->control(order[i + 1]);
        QVERIFY2(next == expected || next->parentWidget() == expected,
                 qPrintable(QString("after %1").arg(m_window->control(order[i])->objectName())));
    }
}

// The menu bar reads File, Options, the seven commands, Help, and shows every one of them on
// screen, at the designed width and at a narrow one, on as many rows as it needs; the panes
// keep the client area below it.
void tst_MainWindow::menuBar_data()
{
    QTest::addColumn<int>("width");
    QTest::newRow("designed width") << 0;
    QTest::newRow("narrow") << 200;
}

void tst_MainWindow::menuBar()
{
    QFETCH(int, width);
    if (width > 0) {
        m_window->resize(width, m_window->height());
        QTRY_COMPARE(m_window->width(), width);
    }
    WrappingMenuBar *bar = m_window->menus();
    QStringList titles;
    for (QAction *action : bar->entries())
        titles << action->text();
    QCOMPARE(titles, (QStringList {"&File", "&Options", "&Match!", "&Copy!>", "<Cop&y!", ">&Move!>",
                                   "<Mo&ve!<", ">&Delete!", "De&lete!<", "&Help"}));
    QStringList shown;
    for (QMenuBar *row : bar->rows()) {
        QVERIFY(row->isVisible());
        for (QAction *action : row->actions()) {
            const QRect place = row->actionGeometry(action);
            QVERIFY2(!place.isEmpty() && row->rect().contains(place), qPrintable(action->text()));
            shown << action->text();
        }
        for (QWidget *extension : row->findChildren<QWidget *>(QStringLiteral("qt_menubar_ext_button")))
            QVERIFY(!extension->isVisible());
    }
    QCOMPARE(shown, titles);
    QWidget *client = m_window->centralWidget();
    QTRY_COMPARE(client->geometry().top(), bar->geometry().bottom() + 1);
    QCOMPARE(m_window->form().pane(1).lstFiles.ListCount(), 2);
}

// A line is ticked with the space bar or by clicking its check box; the tick reaches the model.
void tst_MainWindow::spaceAndClickTick()
{
    auto *list = qobject_cast<QTreeView *>(m_window->control(ControlId::lstFiles1));
    FileListModel &model = m_window->form().pane(1).lstFiles;
    QCOMPARE(model.ListCount(), 2);
    list->setFocus();
    list->setCurrentIndex(model.index(1, 0));
    QTest::keyClick(list, Qt::Key_Space);
    QVERIFY(model.Selected(1));
    QTest::keyClick(list, Qt::Key_Space);
    QVERIFY(!model.Selected(1));

    QStyleOptionViewItem option;
    option.initFrom(list);
    const QRect row = list->visualRect(model.index(0, 0));
    const QRect box = list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list);
    const QPoint inBox(row.left() + box.width() / 2 + 3, row.center().y());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, inBox);
    QVERIFY(model.Selected(0));
    QCOMPARE(m_window->form().pane(1).txtStatus.Text(), QStringLiteral("1 file selected."));
}

// Double-clicking a subfolder opens it and lists it.
void tst_MainWindow::doubleClickOpensFolder()
{
    auto *folders = qobject_cast<QListView *>(m_window->control(ControlId::dirList2));
    DirListModel &model = m_window->form().pane(2).dirList;
    const QModelIndex sub = model.index(model.currentRow() + 1);
    QCOMPARE(sub.data().toString(), QStringLiteral("sub"));
    folders->scrollTo(sub, QAbstractItemView::PositionAtTop);
    const QPoint at = folders->visualRect(sub).center();
    QTest::mouseClick(folders->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(folders->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(model.Path(), m_dir->path() + "/sub");
    QCOMPARE(m_window->form().pane(2).txtStatus.Text(), QStringLiteral("0 files."));
}

// Typing a filter changes nothing until a pane is listed again.
void tst_MainWindow::typingInTheFilterListsNothing()
{
    auto *filter = qobject_cast<QLineEdit *>(m_window->control(ControlId::txtSelect));
    filter->selectAll();
    QTest::keyClicks(filter, "*.doc");
    QCOMPARE(m_window->form().txtSelect.Text(), QStringLiteral("*.doc"));
    QCOMPARE(m_window->form().pane(1).lstFiles.ListCount(), 2);
    QVERIFY(m_window->form().pane(1).dirList.setPath(m_dir->path()).has_value());
    QCOMPARE(m_window->form().pane(1).lstFiles.ListCount(), 0);
}

// The status boxes show the listing's colours.
void tst_MainWindow::statusBoxShowsColours()
{
    auto *status = qobject_cast<QLineEdit *>(m_window->control(ControlId::txtStatus1));
    QCOMPARE(status->text(), QStringLiteral("2 files, 3 bytes, 2024/05/06 07:08 to 2024/05/06 07:09"));
    QCOMPARE(status->palette().color(QPalette::Base), QColor(0, 255, 0));
    QCOMPARE(status->palette().color(QPalette::Text), QColor(Qt::black));
}

// At the designed size the date and size columns show in full beside a long name, which is
// elided in the middle and shown whole in the line's tool tip.
void tst_MainWindow::columnsShowInFull()
{
    const QString wide = QString(60, 'W') + ".txt";
    QVERIFY(writeFile(m_dir->path() + '/' + wide, QByteArray(789, 'w'), localTime(2024, 5, 6, 7, 8)));
    QVERIFY(m_window->form().pane(1).dirList.setPath(m_dir->path()).has_value());
    auto *list = qobject_cast<QTreeView *>(m_window->control(ControlId::lstFiles1));
    QTRY_VERIFY(list->columnWidth(0) + list->columnWidth(1) + list->columnWidth(2) <= list->viewport()->width());
    const QFontMetrics metrics = list->fontMetrics();
    QVERIFY(list->columnWidth(1) > metrics.horizontalAdvance("2024/05/06 07:08"));
    QVERIFY(list->columnWidth(2) > metrics.horizontalAdvance("789"));
    QVERIFY(list->columnWidth(0) < metrics.horizontalAdvance(wide));
    QCOMPARE(list->textElideMode(), Qt::ElideMiddle);
    const QModelIndex line = list->model()->index(2, 0); // after one.txt and two.txt
    QCOMPARE(line.data().toString(), wide);
    const QRect place = list->visualRect(line);
    QHelpEvent help(QEvent::ToolTip, place.center(), list->viewport()->mapToGlobal(place.center()));
    QApplication::sendEvent(list->viewport(), &help);
    QTRY_COMPARE(QToolTip::text(), wide);
}

// A screen reader tells every control apart by its name, reads the file lists' columns as
// Name, Date and Size, and a line's name, date, size and tick.
void tst_MainWindow::accessibleNames()
{
    const std::pair<ControlId, const char *> names[] = {
        {ControlId::drvList1, "Left drive"},     {ControlId::txtSelect, "Filter"},
        {ControlId::drvList2, "Right drive"},    {ControlId::dirList1, "Left folder"},
        {ControlId::dirList2, "Right folder"},   {ControlId::lstFiles1, "Left files"},
        {ControlId::lstFiles2, "Right files"},   {ControlId::txtStatus1, "Left status"},
        {ControlId::txtStatus2, "Right status"}, {ControlId::picDragBar, "Splitter"}};
    for (const auto &[id, name] : names) {
        QAccessibleInterface *control = QAccessible::queryAccessibleInterface(m_window->control(id));
        QVERIFY(control != nullptr);
        // On Linux a drive list reads its drive as its name, and tells its pane by its
        // description.
        if (qobject_cast<QComboBox *>(m_window->control(id)) != nullptr) {
            QCOMPARE(m_window->control(id)->accessibleName(), QString::fromLatin1(name));
            QCOMPARE(control->text(QAccessible::Description), m_window->control(id)->toolTip());
            QVERIFY(control->text(QAccessible::Description).contains(QString::fromLatin1(name).section(' ', 0, 0)));
        } else
            QCOMPARE(control->text(QAccessible::Name), QString::fromLatin1(name));
    }
    m_window->form().pane(1).lstFiles.setSelected(1, true);
    QAccessibleInterface *files = QAccessible::queryAccessibleInterface(m_window->control(ControlId::lstFiles1));
    QAccessibleTableInterface *table = files->tableInterface();
    QVERIFY(table != nullptr);
    QCOMPARE((QStringList {table->columnDescription(0), table->columnDescription(1), table->columnDescription(2)}),
             (QStringList {"Name", "Date", "Size"}));
    QCOMPARE(table->cellAt(1, 0)->text(QAccessible::Name), QStringLiteral("two.txt"));
    QCOMPARE(table->cellAt(1, 1)->text(QAccessible::Name), QStringLiteral("2024/05/06 07:09"));
    QCOMPARE(table->cellAt(1, 2)->text(QAccessible::Name), QStringLiteral("2"));
    QVERIFY(table->cellAt(1, 0)->state().checked);
    QVERIFY(!table->cellAt(0, 0)->state().checked);
}

namespace {
// Drags the splitter bar with the mouse and lets go over a point of the window's client area.
void dragSplitterTo(MainWindow &window, QPoint inClient)
{
    QWidget *bar = window.control(ControlId::picDragBar);
    const QWidget *client = window.centralWidget();
    // While the button is held the bar has the mouse, wherever the pointer goes.
    const QPoint onBar = bar->mapFrom(client, inClient);
    QTest::mousePress(bar, Qt::LeftButton, {}, bar->rect().center());
    QTest::mouseMove(bar, onBar);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, onBar);
}
QRect pixels(const Geometry &g)
{
    return QRect(qRound(g.left / 15), qRound(g.top / 15), qRound(g.width / 15), qRound(g.height / 15));
}
} // namespace

// The real window lays its controls out on a resize, and dragging the splitter with the
// mouse moves the bottom of the folder lists to where it is dropped.
void tst_MainWindow::resizeAndDragTheSplitter()
{
    MainWindow &window = *m_window;
    const int menuHeight = window.height() - window.centralWidget()->height();
    window.resize(474, 411 + menuHeight);
    QTRY_COMPARE(window.centralWidget()->size(), QSize(474, 411));
    QCOMPARE(window.control(ControlId::lstFiles1)->geometry(), QRect(0, 168, 235, 222));
    QCOMPARE(window.control(ControlId::lstFiles2)->geometry(), QRect(239, 168, 235, 222));
    QCOMPARE(window.control(ControlId::picDragBar)->geometry().top(), 165);
    QCOMPARE(window.control(ControlId::txtStatus2)->geometry(), QRect(239, 390, 235, 21));

    QWidget *leftFolders = window.control(ControlId::dirList1);
    dragSplitterTo(window, leftFolders->geometry().topLeft() + QPoint(30, 40));
    QCOMPARE(window.form().geometry(ControlId::dirList1).height, 600.0);
    QCOMPARE(window.control(ControlId::dirList2)->height(), 40);
    QCOMPARE(window.control(ControlId::lstFiles1)->geometry(),
             pixels(window.form().geometry(ControlId::lstFiles1)));

    QWidget *rightFiles = window.control(ControlId::lstFiles2);
    dragSplitterTo(window, rightFiles->geometry().topLeft() + QPoint(30, 20));
    QCOMPARE(window.form().geometry(ControlId::dirList1).height, 900.0);
    QCOMPARE(window.control(ControlId::lstFiles2)->y(), (360 + 900 + 45) / 15);
}

// Letting the splitter go over a drive list, the filter box, a status box or the bare window
// changes nothing.
void tst_MainWindow::dropsElsewhereChangeNothing_data()
{
    QTest::addColumn<int>("target"); // -1: the window between the controls
    QTest::newRow("drive list") << int(ControlId::drvList2);
    QTest::newRow("filter box") << int(ControlId::txtSelect);
    QTest::newRow("status box") << int(ControlId::txtStatus1);
    QTest::newRow("bare window") << -1;
}

void tst_MainWindow::dropsElsewhereChangeNothing()
{
    QFETCH(int, target);
    const double before = m_window->form().geometry(ControlId::dirList1).height;
    QPoint at;
    if (target < 0) {
        const QRect left = m_window->control(ControlId::lstFiles1)->geometry();
        at = QPoint(left.right() + 2, left.center().y()); // the gap between the panes
    } else {
        at = m_window->control(ControlId(target))->geometry().center();
    }
    dragSplitterTo(*m_window, at);
    QCOMPARE(m_window->form().geometry(ControlId::dirList1).height, before);
}

// With synchronised scrolling on, the mouse wheel over one list scrolls the other with it.
void tst_MainWindow::wheelScrollingMirrors()
{
    for (int i = 0; i < 60; ++i)
        QVERIFY(writeFile(m_dir->path() + QStringLiteral("/n%1.txt").arg(i, 2, 10, QLatin1Char('0')), "n"));
    FormModel &form = m_window->form();
    QVERIFY(form.pane(1).dirList.setPath(m_dir->path()).has_value());
    QVERIFY(form.pane(2).dirList.setPath(m_dir->path()).has_value());
    form.mnuOptionSynch.trigger();
    auto *left = qobject_cast<QTreeView *>(m_window->control(ControlId::lstFiles1));
    auto *right = qobject_cast<QTreeView *>(m_window->control(ControlId::lstFiles2));
    QTRY_VERIFY(left->verticalScrollBar()->maximum() > 10);
    QTRY_VERIFY(right->verticalScrollBar()->maximum() > 10);
    QWheelEvent wheel(QPointF(20, 20), left->viewport()->mapToGlobal(QPointF(20, 20)), QPoint(),
                      QPoint(0, -240), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(left->viewport(), &wheel);
    const int top = left->verticalScrollBar()->value();
    QVERIFY(top > 0);
    QCOMPARE(right->verticalScrollBar()->value(), top);
    QCOMPARE(form.pane(2).lstFiles.TopIndex(), top);
    right->verticalScrollBar()->setValue(top + 3);
    QCOMPARE(left->verticalScrollBar()->value(), top + 3);

    form.mnuOptionSynch.trigger();
    left->verticalScrollBar()->setValue(1);
    QCOMPARE(right->verticalScrollBar()->value(), top + 3);
}

// Each Ctrl shortcut of the menus runs its command from every control that can have the
// focus, the filter box included, while the filter box keeps its own editing keys.
void tst_MainWindow::ctrlShortcutsFromEveryControl_data()
{
    QTest::addColumn<int>("control");
    const std::pair<const char *, ControlId> controls[] = {
        {"filter box", ControlId::txtSelect}, {"left files", ControlId::lstFiles1},
        {"right files", ControlId::lstFiles2}, {"left folders", ControlId::dirList1},
        {"right drives", ControlId::drvList2}};
    for (const auto &[name, id] : controls)
        QTest::newRow(name) << int(id);
}

void tst_MainWindow::ctrlShortcutsFromEveryControl()
{
    QFETCH(int, control);
    QWidget *start = m_window->control(ControlId(control));
    start->setFocus();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QTRY_COMPARE(QApplication::focusWidget(), start);
    FormModel &form = m_window->form();
    // Ctrl+A adds the path set (so that Ctrl+D has one to remove), Ctrl+S and Ctrl+F toggle
    // their options.
    QTest::keyClick(start, Qt::Key_A, Qt::ControlModifier);
    QVERIFY(form.recallSlots().visible(0));
    QCOMPARE(form.recallSlots().entry(0), m_dir->path() + "|*.*|" + m_dir->path());
    for (QAction *option : {&form.mnuOptionSynch, &form.mnuOptionSyncFoldr}) {
        const bool before = option->isChecked();
        QTest::keyClick(start, Qt::Key(option->shortcut()[0].key()), Qt::ControlModifier);
        QCOMPARE(option->isChecked(), !before);
    }
    // Ctrl+E, Ctrl+D, Ctrl+T and Ctrl+B open their boxes; Cancel changes nothing.
    const std::pair<Qt::Key, const char *> boxes[] = {{Qt::Key_E, "Edit Path"},
                                                      {Qt::Key_D, "Remove Path"},
                                                      {Qt::Key_T, "Export Text file for Excel:"},
                                                      {Qt::Key_B, "Sorry!"}};
    for (const auto &[key, title] : boxes) {
        m_prompter.clear();
        m_prompter.type(QString());
        m_prompter.answer(MsgAnswer::Ok);
        QTest::keyClick(start, key, Qt::ControlModifier);
        QCOMPARE(m_prompter.shown().size(), size_t(1));
        QCOMPARE(m_prompter.shown().back().title, QString::fromLatin1(title));
        m_prompter.clear();
    }
    QVERIFY(form.recallSlots().visible(0));
    // Ctrl+R reads the drives again; Ctrl+Q ends the program without storing the settings.
    QSignalSpy refreshed(&form.mnuFileRefresh, &QAction::triggered);
    QTest::keyClick(start, Qt::Key_R, Qt::ControlModifier);
    QCOMPARE(refreshed.count(), 1);
    if (ControlId(control) == ControlId::txtSelect) {
        auto *filter = qobject_cast<QLineEdit *>(start);
        filter->setText("*.txt");
        filter->setCursorPosition(5);
        QTest::keyClick(filter, Qt::Key_Home);
        QTest::keyClick(filter, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(filter, Qt::Key_C, Qt::ControlModifier);
        QTest::keyClick(filter, Qt::Key_End);
        QTest::keyClick(filter, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(filter, Qt::Key_Backspace);
        QTest::keyClicks(filter, "x");
        QCOMPARE(filter->text(), QStringLiteral("*.txtx"));
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("*"));
    }
    const QMap<QString, QString> stored = m_settings.values();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Q, Qt::ControlModifier);
    m_window->close();
    QCOMPARE(m_settings.values(), stored);
}

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
