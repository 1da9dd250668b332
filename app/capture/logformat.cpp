#include "logformat.h"

#include <QFileInfo>

#include <algorithm>

namespace LogFormat {

QStringList filters()
{
    QStringList list;
    for (const Format &format : kFormats)
        list.append(QLatin1String(format.filter));
    return list;
}

const Format &forFilter(const QString &filter)
{
    const auto it = std::find_if(kFormats.begin(), kFormats.end(),
                                 [&](const Format &f) { return filter == QLatin1String(f.filter); });
    return it != kFormats.end() ? *it : kFormats.front();
}

const Format &forFile(const QString &fileName, const Format &chosen)
{
    const QString suffix = QFileInfo(fileName).suffix();
    const auto it = std::find_if(kFormats.begin(), kFormats.end(), [&](const Format &f) {
        return suffix.compare(QLatin1String(f.suffix), Qt::CaseInsensitive) == 0;
    });
    return it != kFormats.end() ? *it : chosen;
}

} // namespace LogFormat
