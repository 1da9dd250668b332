#include "lineindex.h"

void LineIndex::append(qint64 count)
{
    const qsizetype i = m_tree.size();
    m_tree.append(count + before(i - 1) - before(i - (i & -i)));
}

void LineIndex::add(qsizetype block, qint64 delta)
{
    for (qsizetype i = block + 1; i < m_tree.size(); i += i & -i)
        m_tree[i] += delta;
}

qint64 LineIndex::before(qsizetype block) const
{
    qint64 sum = 0;
    for (qsizetype i = block; i > 0; i -= i & -i)
        sum += m_tree.at(i);
    return sum;
}

// The last block whose lines before it are at most line: blocks without a line
// start in between are passed over.
qsizetype LineIndex::blockOf(qint64 line) const
{
    qsizetype pos = 0;
    qsizetype step = 1;
    while (step * 2 <= size())
        step *= 2;
    for (; step > 0; step /= 2) {
        if (pos + step <= size() && m_tree.at(pos + step) <= line) {
            pos += step;
            line -= m_tree.at(pos);
        }
    }
    return std::min(pos, size() - 1);
}
