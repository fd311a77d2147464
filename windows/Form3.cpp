#include "Form3.h"

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

Form3::Form3(QWidget *parent) : QDialog(parent, WindowDesign::kFixedDialog)
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
    Text1 = addressLine(120);
    Text2 = addressLine(960);
    Text3 = addressLine(1800);
    Text4 = addressLine(2640);

    // Neither button is a default button: Enter does only what the key
    // handlers say (or presses the button that has the focus).
    Command1 = new QPushButton(QStringLiteral("Print"), this);
    Command1->setGeometry(twips(120, 3600, 1695, 615));
    Command1->setFont(WindowDesign::font(kTahoma, 24, true));
    Command1->setAutoDefault(false);
    Command2 = new QPushButton(QStringLiteral("Close"), this);
    Command2->setGeometry(twips(2880, 3600, 1695, 615));
    Command2->setFont(WindowDesign::font(kTahoma, 24, true));
    Command2->setAutoDefault(false);

    Combo2 = new QComboBox(this);
    Combo2->setEditable(true);
    Combo2->setInsertPolicy(QComboBox::NoInsert); // a typed count is used, not added to the list
    Combo2->setGeometry(twips(1920, 3600, 855, 615));
    Combo2->setFont(WindowDesign::font(kTahoma, 20.25, false));
    Combo2->setEditText(QStringLiteral("1"));

    WindowDesign::nameControls({{Text1, "Text1"}, {Text2, "Text2"}, {Text3, "Text3"}, {Text4, "Text4"},
                                {Command1, "Command1"}, {Command2, "Command2"}, {Combo2, "Combo2"}});

    setTabOrder(Text1, Text2);
    setTabOrder(Text2, Text3);
    setTabOrder(Text3, Text4);
    setTabOrder(Text4, Command1);
    setTabOrder(Command1, Command2);
    setTabOrder(Command2, Combo2);
    Text1->setFocus();

    connect(Command1, &QPushButton::clicked, this, &Form3::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form3::Command2_Click);

    Form_Load();
}

void Form3::showModal(QWidget *owner)
{
    Form3 window(owner);
    window.exec();
}

void Form3::Form_Load()
{
    for (int n = 1; n <= kCopiesInList; ++n)
        Combo2->addItem(QString::number(n));
    Combo2->setEditText(QStringLiteral("1"));
}

void Form3::Command1_Click()
{
    SelectSavedPrinter();
    // The copies text is checked before anything goes to the printer, so a
    // text that is not a count prints nothing and leaves the window as it is.
    const QString copiesText = Combo2->currentText();
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
    p.print(Text1->text());
    p.setCurrentX(160);
    p.setCurrentY(700);
    p.print(Text2->text());
    p.setCurrentX(160);
    p.setCurrentY(1300);
    p.print(Text3->text());
    p.setCurrentX(160);
    p.setCurrentY(1900);
    p.print(Text4->text());
    try {
        p.endDoc();
    } catch (const Failure &failure) {
        // Nothing was printed: the lines and the copies text stay for another try.
        Prompts::current().warn(this, failure.message());
        return;
    }
    Combo2->setEditText(QStringLiteral("1"));
}

void Form3::Command2_Click()
{
    close();
}

void Form3::Text1_KeyPress(int keyAscii)
{
    if (keyAscii == kEnter)
        Text2->setFocus();
}

void Form3::Text2_KeyPress(int keyAscii)
{
    if (keyAscii == kEnter)
        Text3->setFocus();
}

void Form3::Text3_KeyPress(int keyAscii)
{
    if (keyAscii == kEnter)
        Text4->setFocus();
}

void Form3::Text4_KeyPress(int keyAscii)
{
    if (keyAscii == kEnter)
        Command1_Click();
}

bool Form3::eventFilter(QObject *watched, QEvent *event)
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
            else if (watched == Text4)
                Text4_KeyPress(code);
        }
    }
    return QDialog::eventFilter(watched, event); // the key still reaches the box
}

void Form3::keyPressEvent(QKeyEvent *event)
{
    // Neither button is the default or the cancel button.
    if (!WindowDesign::handleKeysWithoutDefaultButton(this, event))
        QDialog::keyPressEvent(event);
}
