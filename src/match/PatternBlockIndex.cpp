#include "match/PatternBlockIndex.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace {

quint64 mix(quint64 x)
{
    // The finaliser of a well-known 64-bit hash: every input bit reaches every output bit.
    x ^= x >> 33;
    x *= 0xff51afd7ed558ccdULL;
    x ^= x >> 33;
    x *= 0xc4ceb9fe1a85ec53ULL;
    x ^= x >> 33;
    return x;
}

} // namespace

quint64 PatternBlockIndex::keyOf(const Block& block, const PatternBits& pattern)
{
    return mix((pattern.lo & block.mask.lo) ^ mix((pattern.hi & block.mask.hi) + 0x9e3779b97f4a7c15ULL));
}

std::size_t PatternBlockIndex::Block::find(quint64 key) const
{
    const std::size_t mask = table.size() - 1;
    for (std::size_t at = std::size_t(key) & mask;; at = (at + 1) & mask) {
        const Slot& slot = table[at];
        if (slot.count == 0)
            return table.size();
        if (slot.key == key)
            return at;
    }
}

void PatternBlockIndex::clear()
{
    m_blocks.clear();
    m_blocks.shrink_to_fit();
    m_built = false;
    m_leaving = false;
    m_tolerance = -1;
}

void PatternBlockIndex::startLeaving()
{
    for (Block& block : m_blocks) {
        block.remainingIds = block.ids;
        block.remaining.resize(block.table.size());
        for (std::size_t at = 0; at < block.table.size(); ++at)
            block.remaining[at] = Remaining { block.table[at].count, 0 };
    }
    m_leaving = true;
}

void PatternBlockIndex::build(int tolerance, const std::vector<PatternBits>& patterns, const std::vector<quint32>& ids)
{
    clear();
    if (!prunes(tolerance))
        return;
    const int blocks = tolerance + 1;
    m_blocks.resize(std::size_t(blocks));
    for (int cell = 1; cell <= 100; ++cell)
        m_blocks[std::size_t((cell - 1) % blocks)].mask.set(cell);

    std::vector<std::pair<quint64, quint32>> keyed(patterns.size());
    for (Block& block : m_blocks) {
        for (std::size_t i = 0; i < patterns.size(); ++i)
            keyed[i] = { keyOf(block, patterns[i]), ids[i] };
        // Within a key the numbers stay ascending.
        std::sort(keyed.begin(), keyed.end());
        std::size_t distinct = 0;
        for (std::size_t i = 0; i < keyed.size(); ++i)
            distinct += (i == 0 || keyed[i].first != keyed[i - 1].first) ? 1 : 0;
        block.table.assign(std::bit_ceil(std::max<std::size_t>(16, distinct + distinct / 2)), Slot());
        block.ids.resize(keyed.size());
        const std::size_t mask = block.table.size() - 1;
        for (std::size_t i = 0; i < keyed.size();) {
            std::size_t end = i;
            while (end < keyed.size() && keyed[end].first == keyed[i].first) {
                block.ids[end] = keyed[end].second;
                ++end;
            }
            std::size_t at = std::size_t(keyed[i].first) & mask;
            while (block.table[at].count != 0)
                at = (at + 1) & mask;
            block.table[at] = Slot { keyed[i].first, quint32(i), quint32(end - i) };
            i = end;
        }
    }
    m_tolerance = tolerance;
    m_built = true;
}

std::size_t PatternBlockIndex::lists(const PatternBits* queries, int count, std::vector<List>& out) const
{
    out.clear();
    std::size_t total = 0;
    for (const Block& block : m_blocks) {
        for (int q = 0; q < count; ++q) {
            const std::size_t at = block.find(keyOf(block, queries[q]));
            if (at == block.table.size())
                continue;
            const Slot& slot = block.table[at];
            out.push_back({ block.ids.data() + slot.start, slot.count });
            total += slot.count;
        }
    }
    return total;
}

std::size_t PatternBlockIndex::remainingLists(const PatternBits* queries, int count, std::vector<List>& out) const
{
    if (!m_leaving)
        return lists(queries, count, out);
    out.clear();
    std::size_t total = 0;
    for (const Block& block : m_blocks) {
        for (int q = 0; q < count; ++q) {
            const std::size_t at = block.find(keyOf(block, queries[q]));
            if (at == block.table.size() || block.remaining[at].count == 0)
                continue;
            out.push_back({ block.remainingIds.data() + block.table[at].start, block.remaining[at].count });
            total += block.remaining[at].count;
        }
    }
    return total;
}
