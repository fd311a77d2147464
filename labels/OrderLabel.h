#pragma once

#include <QString>

// The order label for the contract customer ORMEX: the customer's name as a
// heading, then the order number, contract and site address, each after its
// caption. One job on the saved label printer; throws Failure when the
// printer refuses it.
void PrintOrderLabel(const QString &orderNumber, const QString &contract, const QString &siteAddress);
