#include "filesync.h"

#include <algorithm>
#include <limits>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

// Binary, or the C library would write every LF as CR LF.
int FileSync::openAppend(const QString &path)
{
    return ::_wopen(reinterpret_cast<const wchar_t *>(path.utf16()),
                    _O_WRONLY | _O_CREAT | _O_APPEND | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
}

qint64 FileSync::write(int fd, QByteArrayView bytes)
{
    return ::_write(fd, bytes.data(), unsigned(std::min<qsizetype>(bytes.size(), std::numeric_limits<int>::max())));
}

int FileSync::syncData(int fd)
{
    return ::_commit(fd);
}

void FileSync::startWriteBack(int, qint64, qint64)
{
}

int FileSync::finishWriteBack(int, qint64, qint64)
{
    return 0;
}
