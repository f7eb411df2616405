#pragma once

#include <QStringView>

#include <cstdint>
#include <memory>
#include <vector>

namespace dyadix {

// The names of a long list, kept one after another in large blocks instead of one allocation
// each: a list of a million lines holds its names in their characters and little more. A name
// is found again by the position add() gave and its length; nothing is removed but all at once.
// A block no list holds any more is freed.
class NameBlocks
{
public:
    std::uint64_t add(QStringView name);
    // Makes another list's names readable here too, without copying them (the blocks are
    // shared): a position in `other` plus the number returned is the same name here.
    std::uint64_t adopt(const NameBlocks &other);
    QStringView at(std::uint64_t position, std::uint32_t length) const
    {
        return QStringView(m_blocks[size_t(position >> 32)].get() + (position & 0xFFFFFFFFu), qsizetype(length));
    }
    void clear();

private:
    static constexpr std::uint32_t BlockUnits = 1u << 18;
    std::vector<std::shared_ptr<char16_t[]>> m_blocks;
    std::uint32_t m_used = 0; // units taken in the last block
    std::uint32_t m_capacity = 0; // units of the last block
};

} // namespace dyadix
