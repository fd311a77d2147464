#include "Form2.h"

#include "LabelTexts.h"
#include "Printers.h"
#include "SavedPrinter.h"
#include "WindowDesign.h"

#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>

using namespace LabelTexts;
using WindowDesign::twips;

Form2::Form2(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle(QStringLiteral("Printer Chooser"));
    setFixedSize(WindowDesign::twipsSize(4680, 3750));

    // Two blanks between "Choose" and "A", as the window has always read.
    Label1 = new QLabel(QStringLiteral("Please Choose  A Printer from the List Below"), this);
    Label1->setFont(WindowDesign::font(kTahoma, 9.75, true));
    Label1->setGeometry(twips(120, 120, 4455, 375));

    List1 = new QListWidget(this);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->setSortingEnabled(false);
    List1->setGeometry(twips(120, 480, 4455, 2595));

    Command1 = new QPushButton(QStringLiteral("Save"), this);
    Command1->setFont(WindowDesign::font(kTahoma, 9.75, true));
    Command1->setEnabled(false);
    // Not a default button: Enter in the list does not save behind the user's back.
    Command1->setAutoDefault(false);
    Command1->setGeometry(twips(120, 3120, 4455, 495));

    setTabOrder(List1, Command1);
    List1->setFocus();

    connect(List1, &QListWidget::itemSelectionChanged, this, &Form2::List1_Click);
    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);

    Form_Load();
}

void Form2::showModal(QWidget *owner)
{
    QPointer<Form2> window = new Form2(owner);
    window->exec();
    delete window; // null already if the owner went first
}

void Form2::Form_Load()
{
    // The printers installed now, in their order; nothing selected, Save off.
    for (const PrinterEntry &printer : Printers::all())
        List1->addItem(printer.DeviceName);
}

void Form2::List1_Click()
{
    // A control-click can take the selection away again; Save then has no
    // entry to save and waits for the next selection.
    Command1->setEnabled(!List1->selectedItems().isEmpty());
}

void Form2::Command1_Click()
{
    const QList<QListWidgetItem *> selected = List1->selectedItems();
    if (selected.isEmpty())
        return;
    SavedPrinter::write(selected.first()->text()); // unchanged: no trimming, no case change
    accept();
}
