// What base/ does differently on a POSIX system (Linux).

#include "DataFolder.h"
#include "SystemReason.h"

#include <QDir>

#include <cstring>

QString DataFolder::path()
{
    return QDir::homePath() + QStringLiteral("/TagFoundry/");
}

QString SystemReason::ofErrno(int errorNumber)
{
    return QString::fromLocal8Bit(std::strerror(errorNumber));
}
