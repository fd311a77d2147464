#pragma once

#include "Spooler.h"

#include <QString>

class Printer;

// The order label for the contract customer ORMEX: the customer's name as a
// heading, then the order number, contract and site address, each after its
// caption. One job on the saved label printer, in the weight the printer's
// last job left (it sets none); throws Failure when the printer refuses it.
LabelReceipt PrintOrderLabel(Printer &p, const QString &orderNumber, const QString &contract,
                             const QString &siteAddress);
