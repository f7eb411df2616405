#include "listscroll.h"

#include <QScopedValueRollback>

namespace dyadix {

bool ListScroll::setTopIndex(int index, int count)
{
    if (index < 0 || index >= count)
        return false;
    m_topIndex = index;
    // The view's answer to a position set here is not a user's scroll.
    const QScopedValueRollback<bool> settling(m_settingTopIndex, true);
    emit topIndexRequested(index);
    return true;
}

void ListScroll::viewScrolled(int topIndex)
{
    if (topIndex == m_topIndex)
        return;
    m_topIndex = topIndex;
    if (!m_settingTopIndex)
        emit scrolled();
}

} // namespace dyadix
