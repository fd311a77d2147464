#include "AddressLabelWindow.h"

#include "Failure.h"
#include "LabelTexts.h"
#include "NumberText.h"
#include "Printer.h"
#include "Prompts.h"
#include "SavedPrinter.h"
#include "WindowDesign.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

using namespace LabelTexts;

using WindowDesign::kEnter;
using WindowDesign::twips;

namespace {
constexpr int kCopiesInList = 30;
} // namespace

AddressLabelWindow::AddressLabelWindow(QWidget *parent) : QDialog(parent, WindowDesign::kFixedDialog)
{
    setWindowTitle(QStringLiteral("TagFoundry"));
    setFixedSize(WindowDesign::twipsSize(4710, 4350));

    auto addressLine = [this](int top) {
        auto *box = new QLineEdit(this);
        box->setGeometry(twips(120, top, 4455, 765));
        box->setFont(WindowDesign::font(kArial, 24, true));
        box->installEventFilter(this);
        return box;
    };
    line1Box = addressLine(120);
    line2Box = addressLine(960);
    line3Box = addressLine(1800);
    line4Box = addressLine(2640);

    // Neither button is a default button: Enter does only what the key
    // handlers say (or presses the button that has the focus).
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

    connect(printButton, &QPushButton::clicked, this, &AddressLabelWindow::onPrintClicked);
    connect(closeButton, &QPushButton::clicked, this, &AddressLabelWindow::onCloseClicked);

    load();
}

void AddressLabelWindow::showModal(QWidget *owner)
{
    AddressLabelWindow window(owner);
    window.exec();
}

void AddressLabelWindow::load()
{
    for (int n = 1; n <= kCopiesInList; ++n)
        copiesBox->addItem(QString::number(n));
    copiesBox->setEditText(QStringLiteral("1"));
}

void AddressLabelWindow::onPrintClicked()
{
    SelectSavedPrinter();
    // The copies text is checked before anything goes to the printer, so a
    // text that is not a count prints nothing and leaves the window as it is.
    const QString copiesText = copiesBox->currentText();
    const std::optional<qint16> copies = NumberText::strictInt16(copiesText);
    if (!copies) {
        Prompts::current().warn(
            this, QStringLiteral("Copies \"%1\" is not a number of copies: type a whole number from -32768 to "
                                 "32767 (a fraction is rounded, halves to the even number). Nothing was printed.")
                      .arg(copiesText));
        return;
    }

    Printer &p = Printer::current();
    p.setJobTitle(QStringLiteral("Address label"));
    p.setCopies(*copies);
    p.setFontName(kArial);
    p.setCurrentX(160);
    p.setCurrentY(100);
    p.setFontSize(28);
    p.print(line1Box->text());
    p.setCurrentX(160);
    p.setCurrentY(700);
    p.print(line2Box->text());
    p.setCurrentX(160);
    p.setCurrentY(1300);
    p.print(line3Box->text());
    p.setCurrentX(160);
    p.setCurrentY(1900);
    p.print(line4Box->text());
    try {
        p.endDoc();
    } catch (const Failure &failure) {
        // Nothing was printed: the lines and the copies text stay for another try.
        Prompts::current().warn(this, failure.message());
        return;
    }
    copiesBox->setEditText(QStringLiteral("1"));
}

void AddressLabelWindow::onCloseClicked()
{
    close();
}

void AddressLabelWindow::onLine1KeyPress(int keyAscii)
{
    if (keyAscii == kEnter)
        line2Box->setFocus();
}

void AddressLabelWindow::onLine2KeyPress(int keyAscii)
{
    if (keyAscii == kEnter)
        line3Box->setFocus();
}

void AddressLabelWindow::onLine3KeyPress(int keyAscii)
{
    if (keyAscii == kEnter)
        line4Box->setFocus();
}

void AddressLabelWindow::onLine4KeyPress(int keyAscii)
{
    if (keyAscii == kEnter)
        onPrintClicked();
}

bool AddressLabelWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int code = WindowDesign::keyAscii(static_cast<QKeyEvent *>(event));
        if (code != 0) {
            if (watched == line1Box)
                onLine1KeyPress(code);
            else if (watched == line2Box)
                onLine2KeyPress(code);
            else if (watched == line3Box)
                onLine3KeyPress(code);
            else if (watched == line4Box)
                onLine4KeyPress(code);
        }
    }
    return QDialog::eventFilter(watched, event); // the key still reaches the box
}

void AddressLabelWindow::keyPressEvent(QKeyEvent *event)
{
    // Neither button is the default or the cancel button.
    if (!WindowDesign::handleKeysWithoutDefaultButton(this, event))
        QDialog::keyPressEvent(event);
}
