#include "Printer.h"

#include "Failure.h"
#include "LabelFonts.h"

void Printer::makeCurrent(const PrinterEntry &entry)
{
    m_entry = entry;
    if (m_job)
        m_job->printerName = entry.deviceName;
}

const PrinterEntry &Printer::entry()
{
    if (!m_entry)
        m_entry = m_printers.defaultEntry();
    return *m_entry;
}

PrintJob &Printer::job()
{
    if (!m_job) {
        m_job = PrintJob{};
        m_job->printerName = entry().deviceName;
    }
    return *m_job;
}

void Printer::setCopies(qint16 copies)
{
    job().copies = copies < 1 ? 1 : copies;
}

void Printer::setFontName(const QString &name)
{
    job();
    m_font.name = name;
}

void Printer::setFontSize(double points)
{
    job();
    m_font.size = points;
}

void Printer::setFontBold(bool bold)
{
    job();
    m_font.bold = bold;
}

void Printer::setCurrentX(double twips)
{
    job();
    m_x = twips;
}

void Printer::setCurrentY(double twips)
{
    job();
    m_y = twips;
}

void Printer::setJobTitle(const QString &title)
{
    job().title = QStringLiteral("TagFoundry ") + title;
}

void Printer::print(const QString &text)
{
    PrintOp op;
    op.kind = PrintOp::Kind::Text;
    op.at = {m_x, m_y};
    op.text = text;
    op.font = m_font;
    job().ops.append(op);
    m_x = 0;
    m_y += LabelFonts::lineHeight(m_font);
}

void Printer::box(double x1, double y1, double x2, double y2)
{
    PrintOp op;
    op.kind = PrintOp::Kind::Box;
    op.at = {x1, y1};
    op.to = {x2, y2};
    op.colour = 0; // black
    job().ops.append(op);
}

void Printer::paintPicture(const QImage &picture, double x, double y)
{
    PrintOp op;
    op.kind = PrintOp::Kind::Picture;
    op.at = {x, y};
    op.picture = picture;
    job().ops.append(op);
}

LabelReceipt Printer::endDoc()
{
    if (!m_job)
        return {};
    PrintJob finished = std::move(*m_job);
    m_job.reset();
    if (finished.title.isEmpty())
        finished.title = QStringLiteral("TagFoundry label");
    Spooler *spooler = entry().spooler;
    if (!spooler)
        throw Failure(QStringLiteral("No printer is installed to print on"));
    return spooler->submit(finished);
}
