#include "lineindex.h"

void LineIndex::append(qint64 value)
{
    const qsizetype i = m_tree.size();
    m_tree.append(value + before(i - 1) - before(i - (i & -i)));
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
