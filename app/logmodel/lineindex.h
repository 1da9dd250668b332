#pragma once

#include <QList>

// Sums of one number per block of the receive box's text, so that the sum before a
// block, and the block before which a sum is reached, take log(n) steps after any
// single number changed: a log of a week has millions of blocks.
class LineIndex
{
public:
    qsizetype size() const { return m_tree.size() - 1; }

    // size blocks, each 0.
    void reset(qsizetype size) { m_tree.fill(0, size + 1); }
    // Blocks [0, size), value(i) giving block i's number.
    template<typename Value>
    void build(qsizetype size, Value value)
    {
        m_tree.fill(0, size + 1);
        for (qsizetype i = 1; i <= size; ++i) {
            m_tree[i] += value(i - 1);
            const qsizetype parent = i + (i & -i);
            if (parent <= size)
                m_tree[parent] += m_tree.at(i);
        }
    }
    // Keeps blocks [0, size) as they are.
    void truncate(qsizetype size) { m_tree.resize(size + 1); }
    void append(qint64 value);
    void add(qsizetype block, qint64 delta);

    // The sum over blocks [0, block).
    qint64 before(qsizetype block) const;
    qint64 at(qsizetype block) const { return before(block + 1) - before(block); }
    // The largest k <= size() for which below(k, before(k)) holds, where below is
    // true for k = 0 and, once false, false for every larger k.
    template<typename Below>
    qsizetype last(Below below) const
    {
        qsizetype pos = 0;
        qint64 sum = 0;
        qsizetype step = 1;
        while (step * 2 <= size())
            step *= 2;
        for (; step > 0; step /= 2) {
            if (pos + step <= size() && below(pos + step, sum + m_tree.at(pos + step))) {
                pos += step;
                sum += m_tree.at(pos);
            }
        }
        return pos;
    }

private:
    QList<qint64> m_tree{0}; // 1-based: node i sums blocks [i - lowbit(i), i)
};
