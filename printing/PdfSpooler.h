#pragma once

#include "NumberedFolder.h"
#include "Spooler.h"

#include <optional>

// The built-in printer "TagFoundry PDF": each job becomes one PDF file in the
// data folder's printed/ subfolder, 3 by 2 inch pages, one page per copy.
// File names start with a running number, so they sort in job order; every
// file is whole, has its own number (also among processes printing at the
// same time) and never replaces another.
class PdfSpooler : public Spooler {
public:
    static inline const QString kPrinterName = QStringLiteral("TagFoundry PDF");

    QStringList printerNames() const override { return {kPrinterName}; }
    QString defaultPrinterName() const override { return kPrinterName; }
    QList<BarcodeShortfall> submit(const PrintJob &job) override;

    // The folder the PDFs go to.
    static QString outputFolder();

private:
    QString m_folderPath;
    std::optional<NumberedFolder> m_folder;
};
