#include "DataFolder.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

namespace DataFolder {

namespace {

// Windows-1252 differs from Latin-1 only in 0x80 to 0x9F; its five unused
// codes there map to the same-numbered control characters.
QString decodeWindows1252(const QByteArray &bytes)
{
    static const char16_t high[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        *out++ = (code >= 0x80 && code < 0xA0) ? QChar(high[code - 0x80]) : QChar(code);
    }
    return text;
}

QString decode(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return decodeWindows1252(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

} // namespace

QString path()
{
#ifdef Q_OS_WIN
    return QStringLiteral("C:/TagFoundry/");
#else
    return QDir::homePath() + QStringLiteral("/TagFoundry/");
#endif
}

QString file(const QString &name)
{
    return path() + name;
}

QStringList splitLines(const QByteArray &bytes)
{
    const QString text = decode(bytes);
    QStringList lines = text.split(QLatin1Char('\n'));
    if (text.endsWith(QLatin1Char('\n')) || text.isEmpty())
        lines.removeLast();
    for (QString &line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    return lines;
}

std::optional<QStringList> readLines(const QString &filePath, QString *error)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.exists() ? file.errorString() : QStringLiteral("the file does not exist");
        return std::nullopt;
    }
    return splitLines(file.readAll());
}

} // namespace DataFolder
