#include "commerror.h"

#include <windows.h>

// The reasons an operator can act on; the rest in the system's own words.
CommError CommError::fromWinError(quint32 error, const QString &device)
{
    QString reason;
    switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        reason = QStringLiteral("device busy (held by another program)");
        break;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DEV_NOT_EXIST:
        reason = QStringLiteral("device not present");
        break;
    case ERROR_INVALID_PARAMETER:
    case ERROR_NOT_SUPPORTED:
        reason = QStringLiteral("the device does not take the setting");
        break;
    case ERROR_BAD_COMMAND:
    case ERROR_DEVICE_REMOVED:
    case ERROR_OPERATION_ABORTED:
    case ERROR_GEN_FAILURE:
        reason = QStringLiteral("input/output error (device gone?)");
        break;
    default: {
        wchar_t *text = nullptr;
        const DWORD length = ::FormatMessageW(
            FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
            error, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
        reason = length ? QString::fromWCharArray(text, qsizetype(length)).trimmed()
                        : QStringLiteral("system error %1").arg(error);
        ::LocalFree(text);
        break;
    }
    }
    return CommError(device + QStringLiteral(": ") + reason);
}
