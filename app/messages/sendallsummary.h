#pragma once

#include <QString>

#include <optional>
#include <vector>

// The closing line of Send all: how many of the awaited replies came, the slowest
// of them and the ones that did not come, as
//     9 of 10 replies matched, slowest Power on (37.2 ms); no Volume down reply within 1000 ms
namespace SendAllSummary {

struct Outcome
{
    QString command;     // the command's name
    QString reply;       // its reply's name
    std::optional<qint64> tenthsOfMs; // the reply's time; none when it did not come
};

QString text(const std::vector<Outcome> &outcomes, int sent, int timeoutMs);
// 37.2 from 372.
QString milliseconds(qint64 tenthsOfMs);

} // namespace SendAllSummary
