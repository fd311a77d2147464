#include "PrinterChooser.h"

#include "LabelTexts.h"
#include "Printer.h"
#include "SavedPrinter.h"
#include "WindowDesign.h"

#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>

using namespace LabelTexts;
using WindowDesign::twips;

PrinterChooser::PrinterChooser(const Printer &printer, QWidget *parent)
    : QDialog(parent, WindowDesign::kFixedDialog), m_printer(printer)
{
    setWindowTitle(QStringLiteral("Printer Chooser"));
    setFixedSize(WindowDesign::twipsSize(4680, 3750));

    // Two blanks between "Choose" and "A", as the window has always read.
    promptLabel = new QLabel(QStringLiteral("Please Choose  A Printer from the List Below"), this);
    promptLabel->setFont(WindowDesign::font(kTahoma, 9.75, true));
    promptLabel->setGeometry(twips(120, 120, 4455, 375));

    printerList = new QListWidget(this);
    printerList->setSelectionMode(QAbstractItemView::SingleSelection);
    printerList->setSortingEnabled(false);
    printerList->setGeometry(twips(120, 480, 4455, 2595));

    saveButton = new QPushButton(QStringLiteral("Save"), this);
    saveButton->setFont(WindowDesign::font(kTahoma, 9.75, true));
    saveButton->setEnabled(false);
    // Not a default button: Enter in the list does not save behind the user's back.
    saveButton->setAutoDefault(false);
    saveButton->setGeometry(twips(120, 3120, 4455, 495));

    WindowDesign::nameControls(
        {{promptLabel, "promptLabel"}, {printerList, "printerList"}, {saveButton, "saveButton"}});

    setTabOrder(printerList, saveButton);
    printerList->setFocus();

    connect(printerList, &QListWidget::itemSelectionChanged, this, &PrinterChooser::onSelectionChanged);
    connect(saveButton, &QPushButton::clicked, this, &PrinterChooser::onSaveClicked);

    load();
}

void PrinterChooser::showModal(const Printer &printer, QWidget *owner)
{
    WindowDesign::showModal(new PrinterChooser(printer, owner));
}

void PrinterChooser::load()
{
    // The printers installed now, in their order; nothing selected, Save off.
    for (const PrinterEntry &entry : m_printer.printers().all())
        printerList->addItem(entry.deviceName);
}

void PrinterChooser::onSelectionChanged()
{
    // A control-click can take the selection away again; Save then has no
    // entry to save and waits for the next selection.
    saveButton->setEnabled(!printerList->selectedItems().isEmpty());
}

void PrinterChooser::onSaveClicked()
{
    const QList<QListWidgetItem *> selected = printerList->selectedItems();
    if (selected.isEmpty())
        return;
    SavedPrinter::write(selected.first()->text()); // unchanged: no trimming, no case change
    accept();
}
