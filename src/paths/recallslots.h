#pragma once

// The ten recall items of the File menu.

#include <QAction>
#include <QString>

#include <array>

namespace dyadix {

// The ten recall items of the File menu, which are the path list: each has a caption
// ("&" + digit + " " + path set) and a shown flag. The menu shows a caption's "&" signs as
// themselves, except the one that makes the digit the access key.
class RecallSlots
{
public:
    static constexpr int Count = 10;

    explicit RecallSlots(const std::array<QAction *, Count> &items);

    QString caption(int index) const { return m_captions.at(static_cast<size_t>(index)); }
    void setCaption(int index, const QString &caption);
    bool visible(int index) const { return m_items.at(static_cast<size_t>(index))->isVisible(); }
    void setVisible(int index, bool visible);
    // The path set of a slot: its caption from the fourth character on.
    QString entry(int index) const { return caption(index).mid(3); }

    // The caption of slot `index` for a path set.
    static QString captionFor(int index, const QString &entry);
    // The text the menu shows for a caption.
    static QString menuText(const QString &caption);

private:
    std::array<QAction *, Count> m_items;
    std::array<QString, Count> m_captions;
};

} // namespace dyadix
