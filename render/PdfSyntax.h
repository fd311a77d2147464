#pragma once

#include <QByteArray>
#include <QList>
#include <QStringView>

#include <initializer_list>

class QPainterPath;

// PDF syntax as the built-in printer's files write it: numbers, strings,
// paths and compressed streams, and the objects of a file with their
// cross-reference table.
namespace PdfSyntax {

// Appends a number with at most `decimals` decimals, without trailing zeros
// ("0.05", "144", never "-0"); 0 for a value that is not finite.
void putNumber(QByteArray &out, double value, int decimals = 2);

// Appends each number followed by a blank.
void putNumbers(QByteArray &out, std::initializer_list<double> values, int decimals = 2);

// Appends a byte as two upper-case hex digits.
inline void putHexByte(QByteArray &out, int byte)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    out += kDigits[(byte >> 4) & 15];
    out += kDigits[byte & 15];
}

// Appends text as UTF-16BE code units in hex, without brackets.
void putUtf16Hex(QByteArray &out, QStringView text);

// A text string (the file's title): UTF-16BE with a byte order mark, in hex.
QByteArray textString(QStringView text);

// Flate data for a /FlateDecode stream (zlib's format).
QByteArray flate(const QByteArray &data);

// Appends a path as path construction operators (m, l, c; h before each
// further subpath), y multiplied by `yScale`, numbers with `decimals` decimals.
void putPath(QByteArray &out, const QPainterPath &path, double yScale, int decimals);

// The objects of one file, written in the order they are begun, each at
// the number reserve() gave it.
class ObjectWriter {
public:
    ObjectWriter(); // the header

    // A number for an object written later.
    int reserve();
    // Writes object `number` whose value is `value` (a dictionary, "<< ... >>").
    void object(int number, const QByteArray &value);
    // Writes object `number` as a stream of `data` with these dictionary entries.
    void stream(int number, const QByteArray &dictionaryEntries, const QByteArray &data);
    // A reference to object `number`: "N 0 R".
    static QByteArray ref(int number);

    // The whole file: the objects, the cross-reference table and the trailer
    // naming the catalog and the document information.
    QByteArray finish(int catalog, int info);

private:
    void begin(int number);

    QByteArray m_pdf;
    QList<qint64> m_offsets{0}; // of each object by number; object 0 is the free list's head
};

} // namespace PdfSyntax
