#include "PdfSyntax.h"

#include <QPainterPath>

#include <zlib.h>

#include <charconv>
#include <cmath>

namespace PdfSyntax {

void putNumber(QByteArray &out, double value, int decimals)
{
    if (!std::isfinite(value))
        value = 0;
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    char *end = result.ptr;
    if (decimals > 0) {
        while (end[-1] == '0')
            --end;
        if (end[-1] == '.')
            --end;
    }
    if (end - buffer == 2 && buffer[0] == '-' && buffer[1] == '0')
        out += '0';
    else
        out.append(buffer, end - buffer);
}

void putNumbers(QByteArray &out, std::initializer_list<double> values, int decimals)
{
    for (double value : values) {
        putNumber(out, value, decimals);
        out += ' ';
    }
}

void putUtf16Hex(QByteArray &out, QStringView text)
{
    for (QChar c : text) {
        putHexByte(out, c.unicode() >> 8);
        putHexByte(out, c.unicode() & 0xff);
    }
}

QByteArray textString(QStringView text)
{
    QByteArray out = "<FEFF";
    putUtf16Hex(out, text);
    out += '>';
    return out;
}

namespace {

// zlib's state is sized for its largest window: making it afresh for each of
// a label's glyphs (a few hundred bytes each) and clearing its 64 KB hash
// table cost more than deflating them. So each stream gets a state sized to
// it: the smallest window that holds the whole stream (zlib's own limits 9
// to 15 bits), and a hash table as large as the window.
int windowBitsFor(qsizetype size)
{
    constexpr qsizetype kLookahead = 262; // zlib's MIN_LOOKAHEAD, beyond the data
    int bits = 9;
    while (bits < 15 && (qsizetype(1) << bits) < size + kLookahead)
        ++bits;
    return bits;
}

} // namespace

QByteArray flate(const QByteArray &data)
{
    const int windowBits = windowBitsFor(data.size());
    z_stream stream{};
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, windowBits, windowBits - 7, Z_DEFAULT_STRATEGY)
        != Z_OK)
        return qCompress(data).mid(4); // qCompress's zlib stream without the length it puts in front
    QByteArray out(qsizetype(deflateBound(&stream, uLong(data.size()))), Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    const bool done = ::deflate(&stream, Z_FINISH) == Z_STREAM_END;
    out.truncate(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return done ? out : qCompress(data).mid(4);
}

void putPath(QByteArray &out, const QPainterPath &path, double yScale, int decimals)
{
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element &e = path.elementAt(i);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            if (i > 0)
                out += "h ";
            putNumbers(out, {e.x, yScale * e.y}, decimals);
            out += "m ";
            break;
        case QPainterPath::LineToElement:
            putNumbers(out, {e.x, yScale * e.y}, decimals);
            out += "l ";
            break;
        case QPainterPath::CurveToElement: {
            const QPainterPath::Element &c2 = path.elementAt(i + 1);
            const QPainterPath::Element &to = path.elementAt(i + 2);
            putNumbers(out, {e.x, yScale * e.y, c2.x, yScale * c2.y, to.x, yScale * to.y}, decimals);
            out += "c ";
            i += 2;
            break;
        }
        case QPainterPath::CurveToDataElement:
            break; // consumed with its curve
        }
    }
}

ObjectWriter::ObjectWriter() : m_pdf("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n") {}

int ObjectWriter::reserve()
{
    m_offsets.append(0);
    return int(m_offsets.size() - 1);
}

void ObjectWriter::begin(int number)
{
    m_offsets[number] = m_pdf.size();
    m_pdf += QByteArray::number(number) + " 0 obj\n";
}

void ObjectWriter::object(int number, const QByteArray &value)
{
    begin(number);
    m_pdf += value;
    m_pdf += "\nendobj\n";
}

void ObjectWriter::stream(int number, const QByteArray &dictionaryEntries, const QByteArray &data)
{
    begin(number);
    m_pdf += "<< " + dictionaryEntries + " /Length " + QByteArray::number(data.size()) + " >>\nstream\n";
    m_pdf += data;
    m_pdf += "\nendstream\nendobj\n";
}

QByteArray ObjectWriter::ref(int number)
{
    return QByteArray::number(number) + " 0 R";
}

QByteArray ObjectWriter::finish(int catalog, int info)
{
    const qint64 xref = m_pdf.size();
    m_pdf += "xref\n0 " + QByteArray::number(m_offsets.size()) + "\n0000000000 65535 f \n";
    for (qsizetype i = 1; i < m_offsets.size(); ++i)
        m_pdf += QByteArray::number(m_offsets[i]).rightJustified(10, '0') + " 00000 n \n";
    m_pdf += "trailer\n<< /Size " + QByteArray::number(m_offsets.size()) + " /Root " + ref(catalog) + " /Info "
             + ref(info) + " >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    return std::move(m_pdf);
}

} // namespace PdfSyntax
