#include "sendallsummary.h"

#include <QStringList>

#include <algorithm>

namespace SendAllSummary {

QString milliseconds(qint64 tenthsOfMs)
{
    return QStringLiteral("%1.%2").arg(tenthsOfMs / 10).arg(tenthsOfMs % 10);
}

QString text(const std::vector<Outcome> &outcomes, int sent, int timeoutMs)
{
    if (outcomes.empty())
        return QStringLiteral("%1 commands sent, none with a reply to wait for").arg(sent);
    const auto slowest = std::max_element(outcomes.begin(), outcomes.end(), [](const Outcome &a, const Outcome &b) {
        return a.tenthsOfMs.value_or(-1) < b.tenthsOfMs.value_or(-1);
    });
    const auto matched = std::count_if(outcomes.begin(), outcomes.end(), [](const Outcome &o) { return o.tenthsOfMs.has_value(); });
    QString summary = QStringLiteral("%1 of %2 replies matched").arg(matched).arg(outcomes.size());
    if (slowest->tenthsOfMs)
        summary += QStringLiteral(", slowest %1 (%2 ms)").arg(slowest->command, milliseconds(*slowest->tenthsOfMs));
    QStringList missed;
    for (const Outcome &outcome : outcomes) {
        if (!outcome.tenthsOfMs)
            missed << QStringLiteral("no %1 within %2 ms").arg(outcome.reply).arg(timeoutMs);
    }
    if (!missed.isEmpty())
        summary += QStringLiteral("; ") + missed.join(QStringLiteral(", "));
    return summary;
}

} // namespace SendAllSummary
