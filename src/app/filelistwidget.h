// The file list on screen, bound to its model: columns, sideways scrolling, tool tips, ticks.
#pragma once

#include <QTableView>

namespace dyadix {

class FileListModel;

// A file list on screen: one line per entry with a check box, name, date and right-aligned
// size, in three aligned columns. The name column is wide enough for the longest name, the
// date column fits a date and the size column the largest size; where they do not all fit,
// the list scrolls sideways (the Left and Right keys scroll too), and each line's tool tip
// shows its whole name. The space bar ticks the current line.
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

} // namespace dyadix
