#pragma once

// The menu bar, on as many rows as its entries need.

#include <QKeySequence>
#include <QList>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <vector>

class QMenu;
class QMenuBar;
class QAction;

namespace dyadix {

// A menu bar that never hides an entry behind an overflow button: what does not fit on one
// row goes on to the next, each row a QMenuBar of its own (access keys work on every row).
// An access key that several entries share only highlights them in turn, a further press
// (with or without Alt) moving on; Enter or Space then runs the highlighted entry and
// Escape leaves it. A key that one entry has runs it at once.
class WrappingMenuBar final : public QWidget
{
    Q_OBJECT
public:
    explicit WrappingMenuBar(QWidget *parent = nullptr);
    ~WrappingMenuBar() override;

    QMenu *addMenu(const QString &title);
    void addEntry(QAction *action);
    // Every entry in order, menus by their menu actions.
    const QList<QAction *> &entries() const { return m_entries; }
    // The rows as laid out for the present width.
    const std::vector<QMenuBar *> &rows() const { return m_rows; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // How the entries split into rows for a width: the index of each row's first entry.
    std::vector<int> rowStarts(int width) const;
    void layOut(int width);
    void measure() const;
    // The entries that can be chosen now by an access key, in order.
    QList<QAction *> entriesWithKey(const QKeySequence &key) const;
    QMenuBar *rowOf(const QAction *action) const;
    // Handles an access key on a row; false leaves it to the row.
    bool accessKey(const QKeySequence &key, bool ambiguous);
    void highlight(QAction *action);
    void endHighlight();

    QList<QAction *> m_entries;
    std::vector<QMenuBar *> m_rows;
    // A bar that is never shown and belongs to no window (so that assistive technology never
    // finds its entries where no one sees them), holding every entry to measure them.
    std::unique_ptr<QMenuBar> m_probe;
    mutable std::vector<int> m_widths;
    mutable int m_margin = 0;
    mutable int m_rowHeight = 0;
    int m_laidOutWidth = -1;
    // An entry highlighted by a shared access key, and the widget that had the focus before.
    QAction *m_highlighted = nullptr;
    QPointer<QWidget> m_focusBefore;
};

} // namespace dyadix
