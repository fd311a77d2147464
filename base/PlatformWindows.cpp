// What base/ does differently on Windows.

#include "DataFolder.h"
#include "SystemReason.h"

#include <cstring>

#include <windows.h>

QString DataFolder::path()
{
    return QStringLiteral("C:/TagFoundry/");
}

QString SystemReason::ofErrno(int errorNumber)
{
    return QString::fromLocal8Bit(std::strerror(errorNumber));
}

QString SystemReason::ofLastWindowsError()
{
    const DWORD error = GetLastError();
    wchar_t *text = nullptr;
    const DWORD size = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
                                          | FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, error, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    const QString reason = size ? QString::fromWCharArray(text, int(size)).trimmed()
                                : QStringLiteral("Windows error %1").arg(error);
    LocalFree(text);
    return reason;
}
