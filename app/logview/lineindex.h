#pragma once

#include <QList>

// The number of line starts in each block of the receive box's text, summed so that
// the lines before a block and the block that holds a line are found in log(n) steps
// after any single count changed: a log of a week has millions of blocks.
class LineIndex
{
public:
    qsizetype size() const { return m_tree.size() - 1; }
    qint64 total() const { return before(size()); }

    // Counts for blocks [0, size()): counts(i) gives block i's.
    template<typename Count>
    void build(qsizetype size, Count counts)
    {
        m_tree.fill(0, size + 1);
        for (qsizetype i = 1; i <= size; ++i) {
            m_tree[i] += counts(i - 1);
            const qsizetype parent = i + (i & -i);
            if (parent <= size)
                m_tree[parent] += m_tree.at(i);
        }
    }
    // Keeps blocks [0, size) as they are.
    void truncate(qsizetype size) { m_tree.resize(size + 1); }
    void append(qint64 count);
    void add(qsizetype block, qint64 delta);

    // Lines starting in blocks [0, block).
    qint64 before(qsizetype block) const;
    // The block in which line starts, for 0 <= line < total().
    qsizetype blockOf(qint64 line) const;

private:
    QList<qint64> m_tree{0}; // 1-based: node i sums the counts of blocks [i - lowbit(i), i)
};
