#include "recallslots.h"

namespace dyadix {

RecallSlots::RecallSlots(const std::array<QAction *, Count> &items)
    : m_items(items)
{
    for (int k = 0; k < Count; ++k)
        m_captions[static_cast<size_t>(k)] = items[static_cast<size_t>(k)]->text();
}

void RecallSlots::setCaption(int index, const QString &caption)
{
    m_captions.at(static_cast<size_t>(index)) = caption;
    m_items.at(static_cast<size_t>(index))->setText(menuText(caption));
}

void RecallSlots::setVisible(int index, bool visible)
{
    m_items.at(static_cast<size_t>(index))->setVisible(visible);
}

QString RecallSlots::captionFor(int index, const QString &entry)
{
    return QLatin1Char('&') + QString::number(index) + QLatin1Char(' ') + entry;
}

QString RecallSlots::menuText(const QString &caption)
{
    const bool accessKey = caption.size() >= 2 && caption[0] == QLatin1Char('&') && caption[1].isDigit();
    const qsizetype keep = accessKey ? 2 : 0;
    return caption.left(keep) + caption.mid(keep).replace(QLatin1Char('&'), QLatin1String("&&"));
}

} // namespace dyadix
