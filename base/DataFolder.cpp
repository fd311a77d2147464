#include "DataFolder.h"

#include "Failure.h"
#include "SystemReason.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <cerrno>

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
    // A byte-order mark says UTF-16 (Notepad's "Unicode") or UTF-8; the
    // decoders drop it.
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(bytes.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                             QStringDecoder::Flag::Stateless);
        return utf16.decode(QByteArrayView(bytes).sliced(2));
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? decodeWindows1252(bytes) : text;
}

} // namespace

QString file(const QString &name)
{
    return path() + name;
}

QStringList splitLines(const QByteArray &bytes)
{
    const QString text = decode(bytes);
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\n') && c != QLatin1Char('\r'))
            continue;
        lines.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

QStringList readLines(const QString &filePath)
{
    QString reason;
    QByteArray bytes;
    if (QFileInfo(filePath).isDir()) {
        reason = SystemReason::ofErrno(EISDIR);
    } else {
        QFile file(filePath);
        errno = 0;
        if (file.open(QIODevice::ReadOnly)) {
            bytes = file.readAll();
            if (file.error() != QFileDevice::NoError)
                reason = file.errorString();
        } else {
            reason = errno ? SystemReason::ofErrno(errno) : file.errorString();
        }
    }
    if (!reason.isEmpty())
        throw Failure(QString()).inFile(QDir::toNativeSeparators(filePath)).because(reason);
    return splitLines(bytes);
}

} // namespace DataFolder
