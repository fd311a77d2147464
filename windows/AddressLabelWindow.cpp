#include "AddressLabelWindow.h"

#include "AddressLabel.h"
#include "Failure.h"
#include "LabelTexts.h"
#include "Prompts.h"
#include "WindowDesign.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

using namespace LabelTexts;

using WindowDesign::twips;

namespace {
constexpr int kCopiesInList = 30;
} // namespace

AddressLabelWindow::AddressLabelWindow(Printer &printer, Prompts &prompts, QWidget *parent)
    : QDialog(parent, WindowDesign::kFixedDialog), m_printer(printer), m_prompts(prompts)
{
    setWindowTitle(QStringLiteral("TagFoundry"));
    setFixedSize(WindowDesign::twipsSize(4710, 4350));

    auto addressLine = [this](int top) {
        auto *box = new QLineEdit(this);
        box->setGeometry(twips(120, top, 4455, 765));
        box->setFont(WindowDesign::font(kArial, 24, true));
        return box;
    };
    line1Box = addressLine(120);
    line2Box = addressLine(960);
    line3Box = addressLine(1800);
    line4Box = addressLine(2640);

    // Neither button is a default button: Enter does only what the field
    // chain says (or presses the button that has the focus).
    printButton = new QPushButton(QStringLiteral("Print"), this);
    printButton->setGeometry(twips(120, 3600, 1695, 615));
    printButton->setFont(WindowDesign::font(kTahoma, 24, true));
    printButton->setAutoDefault(false);
    closeButton = new QPushButton(QStringLiteral("Close"), this);
    closeButton->setGeometry(twips(2880, 3600, 1695, 615));
    closeButton->setFont(WindowDesign::font(kTahoma, 24, true));
    closeButton->setAutoDefault(false);

    copiesBox = new QComboBox(this);
    copiesBox->setEditable(true);
    copiesBox->setInsertPolicy(QComboBox::NoInsert); // a typed count is used, not added to the list
    copiesBox->setGeometry(twips(1920, 3600, 855, 615));
    copiesBox->setFont(WindowDesign::font(kTahoma, 20.25, false));
    copiesBox->setEditText(QStringLiteral("1"));

    WindowDesign::nameControls({{line1Box, "line1Box"}, {line2Box, "line2Box"}, {line3Box, "line3Box"},
                                {line4Box, "line4Box"},
                                {printButton, "printButton"}, {closeButton, "closeButton"}, {copiesBox, "copiesBox"}});

    setTabOrder(line1Box, line2Box);
    setTabOrder(line2Box, line3Box);
    setTabOrder(line3Box, line4Box);
    setTabOrder(line4Box, printButton);
    setTabOrder(printButton, closeButton);
    setTabOrder(closeButton, copiesBox);
    line1Box->setFocus();

    WindowDesign::chainFields({line1Box, line2Box, line3Box, line4Box}, [this] { onPrintClicked(); });
    connect(printButton, &QPushButton::clicked, this, &AddressLabelWindow::onPrintClicked);
    connect(closeButton, &QPushButton::clicked, this, &AddressLabelWindow::onCloseClicked);

    load();
}

void AddressLabelWindow::showModal(Printer &printer, Prompts &prompts, QWidget *owner)
{
    WindowDesign::showModal(new AddressLabelWindow(printer, prompts, owner));
}

void AddressLabelWindow::load()
{
    for (int n = 1; n <= kCopiesInList; ++n)
        copiesBox->addItem(QString::number(n));
    copiesBox->setEditText(QStringLiteral("1"));
}

void AddressLabelWindow::onPrintClicked()
{
    try {
        PrintAddressLabel(m_printer, {line1Box->text(), line2Box->text(), line3Box->text(), line4Box->text()},
                          copiesBox->currentText());
    } catch (const Failure &failure) {
        // Nothing was printed: the lines and the copies text stay for another try.
        m_prompts.warn(this, failure.message());
        return;
    }
    copiesBox->setEditText(QStringLiteral("1"));
}

void AddressLabelWindow::onCloseClicked()
{
    close();
}

void AddressLabelWindow::keyPressEvent(QKeyEvent *event)
{
    // Neither button is the default or the cancel button.
    if (!WindowDesign::handleKeysWithoutDefaultButton(this, event))
        QDialog::keyPressEvent(event);
}
