#include "frmBinLabeller.h"

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

frmBinLabeller::frmBinLabeller(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("Bin Labelling"));
    // Sizable, but the controls keep their places: there is no layout.
    resize(WindowDesign::twipsSize(4680, 2280));

    Text1 = new QLineEdit(this);
    Text1->setGeometry(twips(120, 720, 4455, 735));
    Text1->setFont(WindowDesign::font(kTahoma, 20.25, false));
    Text1->installEventFilter(this);

    Command1 = new QPushButton(QStringLiteral("Print"), this);
    Command1->setGeometry(twips(120, 1560, 2175, 615));
    Command1->setFont(WindowDesign::font(kTahoma, 20.25, false));
    Command1->setDefault(true);

    Command2 = new QPushButton(QStringLiteral("Close"), this);
    Command2->setGeometry(twips(2400, 1560, 2175, 615));
    Command2->setFont(WindowDesign::font(kTahoma, 20.25, false));

    Label1 = new QLabel(QStringLiteral("Bin Labelling"), this);
    Label1->setGeometry(twips(120, 120, 4455, 495));
    Label1->setFont(WindowDesign::font(kTahoma, 20.25, true));
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    WindowDesign::nameControls(
        {{Text1, "Text1"}, {Command1, "Command1"}, {Command2, "Command2"}, {Label1, "Label1"}});

    setTabOrder(Text1, Command1);
    setTabOrder(Command1, Command2);
    Text1->setFocus();

    connect(Command1, &QPushButton::clicked, this, &frmBinLabeller::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmBinLabeller::Command2_Click);

    // In the centre of the screen the owner is on.
    QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen)
        move(screen->availableGeometry().center() - rect().center());
}

void frmBinLabeller::showModal(QWidget *owner)
{
    frmBinLabeller window(owner);
    window.exec();
}

void frmBinLabeller::Command1_Click()
{
    // No printer is selected here: the label goes to the printer that is current.
    const QString code = Text1->text();
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
        Text1->setFocus();
        return;
    }
    Text1->clear();
    Text1->setFocus();
}

void frmBinLabeller::Command2_Click()
{
    close();
}

void frmBinLabeller::Text1_KeyPress(int keyAscii)
{
    // Enter reaches Print by two roads, the default button and this handler;
    // they are one action, so this one acts only when no default button does.
    if (keyAscii == kEnter && !defaultButtonTakesEnter())
        Command1_Click();
}

bool frmBinLabeller::defaultButtonTakesEnter() const
{
    const QList<QPushButton *> buttons = findChildren<QPushButton *>();
    return std::any_of(buttons.begin(), buttons.end(),
                       [](const QPushButton *b) { return b->isDefault() && b->isVisible(); });
}

bool frmBinLabeller::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Text1 && event->type() == QEvent::KeyPress) {
        const int code = WindowDesign::keyAscii(static_cast<QKeyEvent *>(event));
        if (code != 0)
            Text1_KeyPress(code);
    }
    return QDialog::eventFilter(watched, event); // the key still reaches the field
}

void frmBinLabeller::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        Command2->click(); // the cancel button
        return;
    }
    QDialog::keyPressEvent(event); // Enter presses the default button
}
