// The file list on screen, bound to its model: columns, sideways scrolling, tool tips, ticks.
#pragma once

#include <QTableView>

namespace dyadix {

class FileListModel;

// A file list on screen: one line per entry with a check box, name, date and right-aligned
// size, in three aligned columns. The date column fits a date and the size column the largest
// size; the name column takes the rest, and a name too long for it is shortened (a path's
// folders first, then the middle of the file's name), its end always in view. Only where the
// list is too narrow even for that does it scroll sideways (the Left and Right keys scroll
// too). Each line's tool tip shows its whole name. The space bar ticks the current line.
// A table view keeps no record of its own per line, which counts at a million lines.
class FileListWidget final : public QTableView
{
    Q_OBJECT
public:
    FileListWidget(FileListModel &model, QWidget *parent);

    // What a cell shows in a text area `width` pixels wide: a name shortened to fit, a date in
    // its short form while the list is narrow ("06/12 18:30" this year, "2023/12/24" before).
    // The model keeps the whole text, for the tool tip and a screen reader.
    QString shownText(const QModelIndex &index, int width) const;
protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;

private:
    void SetHorizontalExtent();
    void fitNameColumn();
    FileListModel &m_model;
    struct Widths
    {
        int leastName = 0;  // a tick box and an ellipsis
        int usableName = 0; // a tick box and ten letters
        int date = 0;
        int shortDate = 0;
        int size = 0; // the largest size
    } m_widths;
    int m_textMargin = 0; // on either side of a cell's text, as the style draws it
    int m_thisYear = 0;
    bool m_shortDates = false;
};

} // namespace dyadix
