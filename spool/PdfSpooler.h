#pragma once

#include "NumberedFolder.h"
#include "Spooler.h"

#include <memory>

class FolderWriter;

// The built-in printer "TagFoundry PDF": each job becomes one PDF file in the
// data folder's printed/ subfolder, 4 by 2 inch pages, one page per copy.
// File names start with a running number, so they sort in job order; every
// file is whole, has its own number (also among processes printing at the
// same time) and never replaces another. A job is finished once its file is
// whole on the disk under its name: within submit(), or, while jobs are held,
// by a writer of its own that takes the files a group at a time.
class PdfSpooler : public Spooler {
public:
    static inline const QString kPrinterName = QStringLiteral("TagFoundry PDF");

    PdfSpooler();
    ~PdfSpooler() override;

    QStringList printerNames() const override { return {kPrinterName}; }
    QString defaultPrinterName() const override { return kPrinterName; }
    LabelReceipt submit(const PrintJob &job) override;
    bool holdJobs() override;
    qsizetype jobsFinished() override;
    void finishJobs() override;

    // The folder the PDFs go to.
    static QString outputFolder();

private:
    const std::shared_ptr<NumberedFolder> &folder();

    QString m_folderPath;
    std::shared_ptr<NumberedFolder> m_folder;
    std::unique_ptr<FolderWriter> m_writer;
};
