#pragma once

#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QListView>
#include <QTableView>

class QRubberBand;

namespace dyadix {

class DirListModel;
class DriveListModel;
class FileListModel;
class TextBox;

// A drive list on screen, bound to its model: the user's choice goes to the model, the
// model's current drive shows.
// A drive list. A screen reader hears it by its accessible name ("Left drive"), its drive as
// its value: on Linux, Qt would name a combo box after its current text, so that both drive
// lists would read alike.
class DriveListWidget final : public QComboBox
{
    Q_OBJECT
public:
    DriveListWidget(DriveListModel &model, QWidget *parent);
    // Gives drive lists their own accessible interface; once per program.
    static void installAccessibleInterface();
};

// A folder list on screen: folders indented by depth, opened by double-click or Enter.
class DirListWidget final : public QListView
{
    Q_OBJECT
public:
    DirListWidget(DirListModel &model, QWidget *parent);
};

// A file list on screen: one line per entry with a check box, name, date and right-aligned
// size, in three aligned columns. The name column is wide enough for the longest name, the
// date column fits a date and the size column the largest
// size; where they do not all fit, the list scrolls sideways (the Left and Right keys scroll
// too), and each line's tool tip shows its whole name. The space bar ticks the current line.
// A table view keeps no record of its own per line, which counts at a million lines.
class FileListWidget final : public QTableView
{
    Q_OBJECT
public:
    FileListWidget(FileListModel &model, QWidget *parent);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;

private:
    void SetHorizontalExtent();
    void fitNameColumn();
    FileListModel &m_model;
    int m_nameWidth = 0; // what the longest name needs
};

// The splitter bar: pressing it starts a drag at once; an outline of the bar follows the
// pointer, and releasing the button drops the bar where the pointer is.
class DragBar final : public QFrame
{
    Q_OBJECT
public:
    explicit DragBar(QWidget *parent);

signals:
    // The bar was dropped at a point of the screen.
    void dropped(QPoint globalPosition);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void moveOutline(QPoint globalPosition);
    QRubberBand *m_outline = nullptr;
};

// A single-line text box on screen, showing a TextBox's text and colours.
class TextBoxWidget final : public QLineEdit
{
    Q_OBJECT
public:
    TextBoxWidget(TextBox &model, bool editable, QWidget *parent);

protected:
    bool event(QEvent *event) override;

private:
    void follow();
    void showModel();
    TextBox &m_model;
    // A status line can change once per line ticked; it shows the last text once the window
    // next processes its events rather than laying out every one.
    bool m_showPending = false;
};

} // namespace dyadix
