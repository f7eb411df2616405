#include "nameblocks.h"

#include <algorithm>
#include <cstring>

namespace dyadix {

std::uint64_t NameBlocks::add(QStringView name)
{
    const char16_t *units = name.utf16();
    const bool wide = std::any_of(units, units + name.size(), [](char16_t u) { return u > 0xFF; });
    const auto bytes = std::uint32_t(name.size()) * (wide ? 2 : 1);
    // UTF-16 starts at an even byte.
    const std::uint32_t start = wide ? (m_used + 1) & ~1u : m_used;
    if (m_blocks.empty() || start > m_capacity || m_capacity - start < bytes) {
        // A name longer than a block gets a block of its own.
        m_capacity = std::max(BlockBytes, bytes);
        m_blocks.push_back(std::shared_ptr<char[]>(new char[m_capacity]));
        m_used = 0;
        return add(name);
    }
    char *to = m_blocks.back().get() + start;
    if (wide) {
        std::memcpy(to, units, bytes);
    } else {
        for (qsizetype i = 0; i < name.size(); ++i)
            to[i] = char(units[i]);
    }
    m_used = start + bytes;
    return (std::uint64_t(m_blocks.size() - 1) << 32) | start | (wide ? WideFlag : 0);
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
