#pragma once

#include "Spooler.h"

#include <QImage>
#include <QString>

class Printer;

// What the part label shows: the part's code and description, the logo at
// its top-left and the number of copies.
struct PartLabel {
    QString code;
    QString description;
    QImage logo;
    qint16 copies = 1;
};

// The part label, one job on the saved label printer in the label's copies;
// its company line is in the weight the printer's last job left. Throws
// Failure when the printer refuses it.
LabelReceipt PrintPartLabel(Printer &p, const PartLabel &label);
