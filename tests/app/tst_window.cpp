#include "windowfixture.h"

#include "app/desktopshell.h"
#include "app/filelistwidget.h"
#include "app/wrappingmenubar.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QLineEdit>
#include <QMenuBar>
#include <QScrollBar>
#include <QStyleOptionViewItem>
#include <QTableView>

using namespace dyadix;
using namespace dyadix::test;

namespace {
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
class tst_Window : public WindowTest
{
    Q_OBJECT

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

    // At the designed size (and at twice the scale, in a window twice the size) every line of a tree shows its tick box, its name's
    // end, its date and its size without scrolling: a long path gives up its folders, then the middle of its name, and dates take
    // their short form; a screen reader still reads the whole path and date. A wider window shows the whole path.
    void namesInView()
    {
        // Sizes of one digit take a column narrower than the style's least for a column.
        auto *list = control<FileListWidget>(ControlId::lstFiles1);
        QTRY_COMPARE(list->model()->rowCount(), 2);
        QCOMPARE(list->horizontalScrollBar()->maximum(), 0);
        const QStringList names {"2023/12/christmas/grandmother opening presents.mp4", "2024/06/family picnic by the lake.jpg", "notes.txt"};
        for (const QString &name : names)
            QVERIFY(QDir().mkpath(QFileInfo(w->t("/tree/") + name).path()) && writeFile(w->t("/tree/") + name, QByteArray(1234567, 'p'), localTime(2024, 6, 12, 18, 30)));
        w->form().mnuOptionSubfolders.setChecked(true);
        QVERIFY(w->form().pane(1).dirList.setPath(w->t("/tree")).has_value());
        QTRY_VERIFY(!list->visualRect(list->model()->index(0, 0)).isEmpty());
        const QRect view(list->viewport()->mapToGlobal(QPoint(0, 0)), list->viewport()->size());
        QAccessibleTableInterface *table = QAccessible::queryAccessibleInterface(list)->tableInterface();
        const QFontMetrics metrics(list->font());
        // What the list draws in a cell, and whether it fits.
        const auto shown = [&](int row) {
            const QModelIndex at = list->model()->index(row, 0);
            QStyleOptionViewItem option;
            option.initFrom(list);
            option.rect = list->visualRect(at);
            option.features = QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::HasCheckIndicator;
            option.text = at.data().toString();
            const int room = list->style()->subElementRect(QStyle::SE_ItemViewItemText, &option, list).width();
            const QString text = list->shownText(at, room);
            return metrics.horizontalAdvance(text) <= room ? text : "too wide: " + text;
        };
        for (int row = 0; row < names.size(); ++row) {
            QAccessibleInterface *name = table->cellAt(row, 0), *date = table->cellAt(row, 1), *size = table->cellAt(row, 2);
            QVERIFY2(view.contains(date->rect()) && view.contains(size->rect()), qPrintable(QString("line %1: %2 %3 in %4").arg(row).arg(QDebug::toString(date->rect()), QDebug::toString(size->rect()), QDebug::toString(view))));
            QCOMPARE(name->text(QAccessible::Name) + '|' + date->text(QAccessible::Name) + '|' + size->text(QAccessible::Name), names[row] + "|2024/06/12 18:30|1234567");
            QVERIFY2(shown(row).endsWith(names[row].right(4)) && view.contains(name->rect().topLeft()), qPrintable(shown(row)));
        }
        QCOMPARE(list->horizontalScrollBar()->maximum(), 0);
        list->setFocus();
        QTest::keyClick(list, Qt::Key_End);
        const int last = list->currentIndex().row();
        QTest::keyClick(list, Qt::Key_Home);
        QCOMPARE(QString("%1 %2").arg(last).arg(list->currentIndex().row()), QString("%1 0").arg(names.size() - 1));
        // No grid: the foot of a line that is not the current one is the list's ground.
        const QRect second = list->visualRect(list->model()->index(1, 0));
        QCOMPARE(QColor(list->viewport()->grab().toImage().pixel(second.left() + 1, second.bottom() + 1)), list->palette().color(QPalette::Base));
        w->window->resize(3 * w->window->width(), w->window->height());
        QTRY_COMPARE(shown(1), names[1]);
        QCOMPARE(list->shownText(list->model()->index(1, 1), 1000), QStringLiteral("2024/06/12 18:30"));
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

    // A stored position that leaves less than a third of the window on the screen (stored at another scale, or on a monitor since
    // unplugged) starts the window on the nearest screen; one that leaves more stays. The stored values change only at exit.
    void storedOffTheScreen_data()
    {
        QTest::addColumn<int>("left"); // in window widths from the screen's left edge
        QTest::addColumn<int>("top");  // in window heights from its top edge
        QTest::addColumn<bool>("moved");
        QTest::newRow("far right") << 40 << 0 << true;
        QTest::newRow("far left and up") << -40 << -40 << true;
        QTest::newRow("below, a fifth showing") << 0 << 99 << true; // 99: the window's top a fifth of its height above the screen's foot
        QTest::newRow("half showing") << -50 << 0 << false;        // -50: half a width to the left
    }
    void storedOffTheScreen()
    {
        QFETCH(int, left);
        QFETCH(int, top);
        QFETCH(bool, moved);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const QSize size = w->window->frameGeometry().size();
        // -50 and 99 stand for places relative to the screen's edges; the rest count whole windows.
        const int x = left == -50 ? screen.left() - size.width() / 2 : screen.left() + left * size.width();
        const int y = top == 99 ? screen.bottom() - size.height() / 5 : screen.top() + top * size.height();
        const QString storedLeft = QString::number(x * TwipsPerPixel), storedTop = QString::number(y * TwipsPerPixel);
        w = std::make_unique<WindowFixture>(true, QMap<QString, QString> {{"Left", storedLeft}, {"Top", storedTop}});
        QVERIFY(QTest::qWaitForWindowExposed(w->window.get()));
        const QRect frame = w->window->frameGeometry();
        QVERIFY2(moved ? screen.contains(frame) : !screen.contains(frame) && std::abs(frame.left() - x) <= 2 && frame.top() == y,
                 qPrintable(QDebug::toString(frame) + " on " + QDebug::toString(screen)));
        QCOMPARE(w->settings.values.value("dyadix/Settings/Left") + ' ' + w->settings.values.value("dyadix/Settings/Top"), storedLeft + ' ' + storedTop);
        w->window->close();
        QCOMPARE(w->settings.values.value("dyadix/Settings/Left"), QString::number(frame.left() * TwipsPerPixel));
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

};

QTEST_MAIN(tst_Window)
#include "tst_window.moc"
