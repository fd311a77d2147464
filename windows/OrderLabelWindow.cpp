#include "OrderLabelWindow.h"

#include "Failure.h"
#include "LabelTexts.h"
#include "OrderLabel.h"
#include "Prompts.h"
#include "WindowDesign.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace LabelTexts;

using WindowDesign::twips;

const QString OrderLabelWindow::kHeadingToolTip = QStringLiteral("Ask for Dave: he always knows where the order went.");

OrderLabelWindow::OrderLabelWindow(Printer &printer, Prompts &prompts, QWidget *parent)
    : QDialog(parent, WindowDesign::kFixedDialog), m_printer(printer), m_prompts(prompts)
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
    headingLabel = caption(QStringLiteral("Ormex"), twips(0, 0, 6855, 735), 30, Qt::AlignHCenter);
    headingLabel->setToolTip(kHeadingToolTip);
    orderNoCaption = caption(QStringLiteral("Order No:"), twips(0, 840, 2295, 495), 14.25, Qt::AlignRight);
    contractCaption = caption(QStringLiteral("Contract:"), twips(0, 1440, 2295, 615), 14.25, Qt::AlignRight);
    siteAddressCaption = caption(QStringLiteral("Site Address:"), twips(0, 2040, 2295, 615), 14.25, Qt::AlignRight);

    auto field = [this](int top) {
        auto *box = new QLineEdit(this);
        box->setGeometry(twips(2400, top, 4455, 525));
        box->setFont(WindowDesign::font(kArial, 12, true));
        return box;
    };
    orderNoBox = field(720);
    contractBox = field(1320);
    siteAddressBox = field(1920);

    // Neither button is a default button: Enter does only what the field
    // chain says (or presses the button that has the focus).
    auto button = [this](const QString &text, int left) {
        auto *b = new QPushButton(text, this);
        b->setGeometry(twips(left, 2520, 2175, 615));
        b->setFont(WindowDesign::font(kTahoma, 24, true));
        b->setAutoDefault(false);
        return b;
    };
    printButton = button(QStringLiteral("Print"), 120);
    closeButton = button(QStringLiteral("Close"), 4680);

    WindowDesign::nameControls({{headingLabel, "headingLabel"}, {orderNoCaption, "orderNoCaption"},
                                {contractCaption, "contractCaption"}, {siteAddressCaption, "siteAddressCaption"},
                                {orderNoBox, "orderNoBox"}, {contractBox, "contractBox"}, {siteAddressBox, "siteAddressBox"},
                                {printButton, "printButton"}, {closeButton, "closeButton"}});

    setTabOrder(orderNoBox, contractBox);
    setTabOrder(contractBox, siteAddressBox);
    setTabOrder(siteAddressBox, printButton);
    setTabOrder(printButton, closeButton);
    orderNoBox->setFocus();

    WindowDesign::chainFields({orderNoBox, contractBox, siteAddressBox}, [this] { onPrintClicked(); });
    connect(printButton, &QPushButton::clicked, this, &OrderLabelWindow::onPrintClicked);
    connect(closeButton, &QPushButton::clicked, this, &OrderLabelWindow::onCloseClicked);
}

void OrderLabelWindow::showModal(Printer &printer, Prompts &prompts, QWidget *owner)
{
    WindowDesign::showModal(new OrderLabelWindow(printer, prompts, owner));
}

void OrderLabelWindow::onPrintClicked()
{
    try {
        PrintOrderLabel(m_printer, orderNoBox->text(), contractBox->text(), siteAddressBox->text());
    } catch (const Failure &failure) {
        m_prompts.warn(this, failure.message()); // the typed texts stay for another try
    }
}

void OrderLabelWindow::onCloseClicked()
{
    close();
}

void OrderLabelWindow::keyPressEvent(QKeyEvent *event)
{
    // Neither button is the default or the cancel button.
    if (!WindowDesign::handleKeysWithoutDefaultButton(this, event))
        QDialog::keyPressEvent(event);
}
