#pragma once

// The names of a long list, packed in shared blocks.

#include "core/nameorder.h"

#include <QStringView>

#include <cstdint>
#include <memory>
#include <vector>

namespace dyadix {

// The names of a long list, kept one after another in large blocks instead of one allocation
// each, a name whose characters are all below U+0100 in one byte each: a list of a million
// lines holds its names in little more than their characters. A name is found again by the
// position add() gave and its length; nothing is removed but all at once. A block no list
// holds any more is freed.
class NameBlocks
{
public:
    std::uint64_t add(QStringView name);
    // Makes another list's names readable here too, without copying them (the blocks are
    // shared): a position in `other` plus the number returned is the same name here.
    std::uint64_t adopt(const NameBlocks &other);
    NameView at(std::uint64_t position, std::uint32_t length) const
    {
        const char *start = m_blocks[size_t((position & ~WideFlag) >> 32)].get() + (position & 0xFFFFFFFFu);
        if ((position & WideFlag) != 0) {
            NameView view;
            view.data = start;
            view.size = qsizetype(length);
            return view;
        }
        return NameView::latin1(start, qsizetype(length));
    }
    void clear();

private:
    // Marks the position of a name kept in UTF-16.
    static constexpr std::uint64_t WideFlag = std::uint64_t(1) << 63;
    static constexpr std::uint32_t BlockBytes = 1u << 19;
    std::vector<std::shared_ptr<char[]>> m_blocks;
    std::uint32_t m_used = 0; // bytes taken in the last block
    std::uint32_t m_capacity = 0; // bytes of the last block
};

} // namespace dyadix
