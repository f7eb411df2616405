#include "nameblocks.h"

#include <algorithm>
#include <cstring>

namespace dyadix {

std::uint64_t NameBlocks::add(QStringView name)
{
    const auto length = std::uint32_t(name.size());
    if (m_blocks.empty() || m_capacity - m_used < length) {
        // A name longer than a block gets a block of its own.
        m_capacity = std::max(BlockUnits, length);
        m_blocks.push_back(std::shared_ptr<char16_t[]>(new char16_t[m_capacity]));
        m_used = 0;
    }
    const std::uint64_t position = (std::uint64_t(m_blocks.size() - 1) << 32) | m_used;
    if (length != 0)
        std::memcpy(m_blocks.back().get() + m_used, name.utf16(), length * sizeof(char16_t));
    m_used += length;
    return position;
}

std::uint64_t NameBlocks::adopt(const NameBlocks &other)
{
    const std::uint64_t shift = std::uint64_t(m_blocks.size()) << 32;
    m_blocks.insert(m_blocks.end(), other.m_blocks.begin(), other.m_blocks.end());
    // The next name added here starts a block of this list's own.
    m_used = 0;
    m_capacity = 0;
    return shift;
}

void NameBlocks::clear()
{
    m_blocks.clear();
    m_used = 0;
    m_capacity = 0;
}

} // namespace dyadix
