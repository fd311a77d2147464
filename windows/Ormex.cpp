#include "Ormex.h"

#include "Failure.h"
#include "LabelTexts.h"
#include "Printer.h"
#include "Prompts.h"
#include "SavedPrinter.h"
#include "WindowDesign.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace LabelTexts;

using WindowDesign::kEnter;
using WindowDesign::twips;

const QString Ormex::kHeadingToolTip = QStringLiteral("Ask for Dave: he always knows where the order went.");

Ormex::Ormex(QWidget *parent) : QDialog(parent, WindowDesign::kFixedDialog)
{
    setWindowTitle(QStringLiteral("TagFoundry"));
    setFixedSize(WindowDesign::twipsSize(6975, 3285));

    // Labels draw no background of their own (a QLabel's default).
    auto caption = [this](const QString &text, QRect geometry, double points, Qt::Alignment alignment) {
        auto *label = new QLabel(text, this);
        label->setGeometry(geometry);
        label->setFont(WindowDesign::font(kTahoma, points, true));
        label->setAlignment(alignment | Qt::AlignTop);
        return label;
    };
    Label1 = caption(QStringLiteral("Ormex"), twips(0, 0, 6855, 735), 30, Qt::AlignHCenter);
    Label1->setToolTip(kHeadingToolTip);
    Label2 = caption(QStringLiteral("Order No:"), twips(0, 840, 2295, 495), 14.25, Qt::AlignRight);
    Label3 = caption(QStringLiteral("Contract:"), twips(0, 1440, 2295, 615), 14.25, Qt::AlignRight);
    Label4 = caption(QStringLiteral("Site Address:"), twips(0, 2040, 2295, 615), 14.25, Qt::AlignRight);

    auto field = [this](int top) {
        auto *box = new QLineEdit(this);
        box->setGeometry(twips(2400, top, 4455, 525));
        box->setFont(WindowDesign::font(kArial, 12, true));
        box->installEventFilter(this);
        return box;
    };
    Text1 = field(720);
    Text2 = field(1320);
    Text3 = field(1920);

    // Neither button is a default button: Enter does only what the key
    // handlers say (or presses the button that has the focus).
    auto button = [this](const QString &text, int left) {
        auto *b = new QPushButton(text, this);
        b->setGeometry(twips(left, 2520, 2175, 615));
        b->setFont(WindowDesign::font(kTahoma, 24, true));
        b->setAutoDefault(false);
        return b;
    };
    Command1 = button(QStringLiteral("Print"), 120);
    Command2 = button(QStringLiteral("Close"), 4680);

    WindowDesign::nameControls({{Label1, "Label1"}, {Label2, "Label2"}, {Label3, "Label3"}, {Label4, "Label4"},
                                {Text1, "Text1"}, {Text2, "Text2"}, {Text3, "Text3"},
                                {Command1, "Command1"}, {Command2, "Command2"}});

    setTabOrder(Text1, Text2);
    setTabOrder(Text2, Text3);
    setTabOrder(Text3, Command1);
    setTabOrder(Command1, Command2);
    Text1->setFocus();

    connect(Command1, &QPushButton::clicked, this, &Ormex::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Ormex::Command2_Click);
}

void Ormex::showModal(QWidget *owner)
{
    Ormex window(owner);
    window.exec();
}

void Ormex::Command1_Click()
{
    SelectSavedPrinter();
    Printer &p = Printer::current();
    p.setJobTitle(QStringLiteral("ORMEX order label"));
    p.setFontName(kArial);
    p.setCurrentX(250);
    p.setCurrentY(300);
    p.setFontSize(30);
    p.print(QStringLiteral("ORMEX"));
    p.setCurrentX(160);
    p.setCurrentY(1000);
    p.setFontSize(14);
    p.print(QStringLiteral("Order No: ") + Text1->text());
    p.setCurrentX(160);
    p.setCurrentY(1400);
    p.print(QStringLiteral("Contract: ") + Text2->text());
    p.setCurrentX(160);
    p.setCurrentY(1800);
    p.print(QStringLiteral("Site Address: ") + Text3->text());
    try {
        p.endDoc();
    } catch (const Failure &failure) {
        Prompts::current().warn(this, failure.message()); // the typed texts stay for another try
    }
}

void Ormex::Command2_Click()
{
    close();
}

void Ormex::Text1_KeyPress(int keyAscii)
{
    if (keyAscii == kEnter)
        Text2->setFocus();
}

void Ormex::Text2_KeyPress(int keyAscii)
{
    if (keyAscii == kEnter)
        Text3->setFocus();
}

void Ormex::Text3_KeyPress(int keyAscii)
{
    if (keyAscii == kEnter)
        Command1_Click();
}

bool Ormex::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int code = WindowDesign::keyAscii(static_cast<QKeyEvent *>(event));
        if (code != 0) {
            if (watched == Text1)
                Text1_KeyPress(code);
            else if (watched == Text2)
                Text2_KeyPress(code);
            else if (watched == Text3)
                Text3_KeyPress(code);
        }
    }
    return QDialog::eventFilter(watched, event); // the key still reaches the box
}

void Ormex::keyPressEvent(QKeyEvent *event)
{
    // Neither button is the default or the cancel button.
    if (!WindowDesign::handleKeysWithoutDefaultButton(this, event))
        QDialog::keyPressEvent(event);
}
