#pragma once

// Which line a file list's view shows first: as the user scrolls it, and as synchronised
// scrolling sets it.

#include <QObject>

namespace dyadix {

class ListScroll final : public QObject
{
    Q_OBJECT

public:
    int TopIndex() const { return m_topIndex; }
    // Asks the view to show `index` first, where the list (of `count` lines) has that line.
    bool setTopIndex(int index, int count);
    // The list was emptied: it shows its first line.
    void reset() { m_topIndex = 0; }

signals:
    // The view should show `index` as its first line.
    void topIndexRequested(int index);
    // The user scrolled the view: TopIndex() is now its first line.
    void scrolled();

public slots:
    // What the view calls when its first visible line changes.
    void viewScrolled(int topIndex);

private:
    int m_topIndex = 0;
    bool m_settingTopIndex = false;
};

} // namespace dyadix
