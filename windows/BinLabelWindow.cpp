#include "BinLabelWindow.h"

#include "BinLabel.h"
#include "Failure.h"
#include "LabelTexts.h"
#include "Prompts.h"
#include "WindowDesign.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

using namespace LabelTexts;

using WindowDesign::kEnter;
using WindowDesign::twips;

BinLabelWindow::BinLabelWindow(Printer &printer, Prompts &prompts, QWidget *parent)
    : QDialog(parent, WindowDesign::kSizableDialog), m_printer(printer), m_prompts(prompts)
{
    setWindowTitle(QStringLiteral("Bin Labelling"));
    // Sizable, but the controls keep their places: there is no layout.
    resize(WindowDesign::twipsSize(4680, 2280));

    codeBox = new QLineEdit(this);
    codeBox->setGeometry(twips(120, 720, 4455, 735));
    codeBox->setFont(WindowDesign::font(kTahoma, 20.25, false));
    WindowDesign::onKeyPress(codeBox, [this](int key) { onCodeKeyPress(key); });

    printButton = new QPushButton(QStringLiteral("Print"), this);
    printButton->setGeometry(twips(120, 1560, 2175, 615));
    printButton->setFont(WindowDesign::font(kTahoma, 20.25, false));
    printButton->setDefault(true);

    closeButton = new QPushButton(QStringLiteral("Close"), this);
    closeButton->setGeometry(twips(2400, 1560, 2175, 615));
    closeButton->setFont(WindowDesign::font(kTahoma, 20.25, false));

    headingLabel = new QLabel(QStringLiteral("Bin Labelling"), this);
    headingLabel->setGeometry(twips(120, 120, 4455, 495));
    headingLabel->setFont(WindowDesign::font(kTahoma, 20.25, true));
    headingLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    WindowDesign::nameControls(
        {{codeBox, "codeBox"}, {printButton, "printButton"}, {closeButton, "closeButton"},
         {headingLabel, "headingLabel"}});

    setTabOrder(codeBox, printButton);
    setTabOrder(printButton, closeButton);
    codeBox->setFocus();

    connect(printButton, &QPushButton::clicked, this, &BinLabelWindow::onPrintClicked);
    connect(closeButton, &QPushButton::clicked, this, &BinLabelWindow::onCloseClicked);

    // In the centre of the screen the owner is on.
    QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen)
        move(screen->availableGeometry().center() - rect().center());
}

void BinLabelWindow::showModal(Printer &printer, Prompts &prompts, QWidget *owner)
{
    WindowDesign::showModal(new BinLabelWindow(printer, prompts, owner));
}

void BinLabelWindow::onPrintClicked()
{
    // No printer is selected here: the label goes to the printer that is current.
    try {
        PrintBinLabel(m_printer, codeBox->text());
    } catch (const Failure &failure) {
        // Nothing was printed: the code stays in the field for another try.
        m_prompts.warn(this, failure.message());
        codeBox->setFocus();
        return;
    }
    codeBox->clear();
    codeBox->setFocus();
}

void BinLabelWindow::onCloseClicked()
{
    close();
}

void BinLabelWindow::onCodeKeyPress(int keyAscii)
{
    // Enter reaches Print by two roads, the default button and this handler;
    // they are one action, so this one acts only when no default button does.
    if (keyAscii == kEnter && !defaultButtonTakesEnter())
        onPrintClicked();
}

bool BinLabelWindow::defaultButtonTakesEnter() const
{
    const QList<QPushButton *> buttons = findChildren<QPushButton *>();
    return std::any_of(buttons.begin(), buttons.end(),
                       [](const QPushButton *b) { return b->isDefault() && b->isVisible(); });
}

void BinLabelWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        closeButton->click(); // the cancel button
        return;
    }
    QDialog::keyPressEvent(event); // Enter presses the default button
}
