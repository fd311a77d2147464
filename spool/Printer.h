#pragma once

#include "JobRenderer.h"
#include "PrintJob.h"
#include "PrintStamp.h"
#include "Printers.h"
#include "Spooler.h"

#include <optional>

// The printer the layouts print on: the process has one, made at start-up
// and handed to every layout. Layouts set its job properties and call its
// operations in the order of their tables; each operation becomes a draw
// operation in absolute twips with the font in force. A job opens implicitly
// with the first property set or drawing after EndDoc, and EndDoc hands it to
// the spooler that owns the printer.
//
// Like the printer object the layouts were drawn for, it carries state from
// one job to the next: the printer made current, and the font and position
// (a layout that sets no weight prints in the weight the last job left).
class Printer {
public:
    // The installed printers it can be made; until one is, the default one.
    explicit Printer(Printers printers) : m_printers(std::move(printers)) {}

    const Printers &printers() const { return m_printers; }
    // What the print stamp reads.
    Clock &clock() { return m_clock; }

    // Makes an installed printer current for every later job of the process.
    void makeCurrent(const PrinterEntry &entry);
    const PrinterEntry &entry();
    QString deviceName() { return entry().deviceName; }

    // Job properties. A new job starts with one copy; the font and position
    // stay as the previous job left them, as on a real printer object.
    void setCopies(qint16 copies);
    void setFontName(const QString &name);
    void setFontSize(double points);
    void setFontBold(bool bold);
    void setCurrentX(double twips);
    void setCurrentY(double twips);
    // What the print queue calls the job, e.g. "XLIST AB-1234".
    void setJobTitle(const QString &title);

    // Draws the text with the top-left of its character cell at
    // (CurrentX, CurrentY), then moves to the start of the next line.
    void print(const QString &text);
    // The outline of the box with these corners, in black (a Line call with
    // flags 20, the only kind of line any label draws).
    void box(double x1, double y1, double x2, double y2);
    // Draws the picture at its natural size, 15 twips per pixel.
    void paintPicture(const QImage &picture, double x, double y);
    // Ends the job and hands it to the spooler; throws Failure when the
    // spooler refuses it (the job is dropped either way). Returns what became
    // of it (an empty receipt when no job was open).
    LabelReceipt endDoc();

private:
    PrintJob &job();

    Printers m_printers;
    Clock m_clock;
    std::optional<PrinterEntry> m_entry;
    std::optional<PrintJob> m_job;
    FontSpec m_font{QStringLiteral("Arial"), 10, false};
    double m_x = 0;
    double m_y = 0;
};
