#include "commerror.h"

#include <cerrno>
#include <cstring>

CommError CommError::fromErrno(int error, const QString &device)
{
    QString reason;
    switch (error) {
    case EACCES:
    case EPERM:
        reason = QStringLiteral("permission denied (is the user in the dialout group?)");
        break;
    case EBUSY:
    case EWOULDBLOCK:
        reason = QStringLiteral("device busy (held by another program)");
        break;
    case ENOENT:
    case ENODEV:
    case ENXIO:
        reason = QStringLiteral("device not present");
        break;
    case EIO:
        reason = QStringLiteral("input/output error (device gone?)");
        break;
    default:
        reason = QString::fromLocal8Bit(std::strerror(error));
        break;
    }
    return CommError(device + QStringLiteral(": ") + reason);
}
