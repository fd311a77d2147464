#include "BinLabelWindow.h"

#include "Failure.h"
#include "LabelTexts.h"
#include "Printer.h"
#include "PrintStamp.h"
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

BinLabelWindow::BinLabelWindow(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("Bin Labelling"));
    // Sizable, but the controls keep their places: there is no layout.
    resize(WindowDesign::twipsSize(4680, 2280));

    codeBox = new QLineEdit(this);
    codeBox->setGeometry(twips(120, 720, 4455, 735));
    codeBox->setFont(WindowDesign::font(kTahoma, 20.25, false));
    codeBox->installEventFilter(this);

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

void BinLabelWindow::showModal(QWidget *owner)
{
    BinLabelWindow window(owner);
    window.exec();
}

void BinLabelWindow::onPrintClicked()
{
    // No printer is selected here: the label goes to the printer that is current.
    const QString code = codeBox->text();
    Printer &p = Printer::current();
    p.setJobTitle(QStringLiteral("BIN ") + code);
    p.setFontBold(false);
    p.line(20, 200, 60, 4200, 580, 0);
    p.setCurrentX(300);
    p.setCurrentY(80);
    p.setFontName(kTahoma);
    p.setFontSize(20);
    p.print(code);
    p.setCurrentX(250);
    p.setCurrentY(1000);
    p.setFontName(kBarcodeFont);
    p.setFontSize(barcodeSize(code));
    p.print(barcodeText(code));
    p.setFontName(kTahoma);
    p.setFontSize(10);
    p.setCurrentX(1200);
    p.setCurrentY(2500);
    p.print(PrintStamp());
    try {
        p.endDoc();
    } catch (const Failure &failure) {
        // Nothing was printed: the code stays in the field for another try.
        Prompts::current().warn(this, failure.message());
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

bool BinLabelWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == codeBox && event->type() == QEvent::KeyPress) {
        const int code = WindowDesign::keyAscii(static_cast<QKeyEvent *>(event));
        if (code != 0)
            onCodeKeyPress(code);
    }
    return QDialog::eventFilter(watched, event); // the key still reaches the field
}

void BinLabelWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        closeButton->click(); // the cancel button
        return;
    }
    QDialog::keyPressEvent(event); // Enter presses the default button
}
