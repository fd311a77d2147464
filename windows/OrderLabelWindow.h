#pragma once

#include <QDialog>

class Printer;
class Prompts;

class QLabel;
class QLineEdit;
class QPushButton;

// The order label window for the contract customer ORMEX: the customer's
// name as a heading, then the typed order number, contract and site address.
class OrderLabelWindow : public QDialog {
    Q_OBJECT
public:
    OrderLabelWindow(Printer &printer, Prompts &prompts, QWidget *parent = nullptr);

    // Opens the window afresh over `owner`, shows it modally and returns when
    // it has been closed; the window is gone by then.
    static void showModal(Printer &printer, Prompts &prompts, QWidget *owner);

    // Controls; each one's object name is its member name.
    QLabel *headingLabel = nullptr;      // heading "Ormex"
    QLabel *orderNoCaption = nullptr;      // "Order No:"
    QLabel *contractCaption = nullptr;      // "Contract:"
    QLabel *siteAddressCaption = nullptr;      // "Site Address:"
    QLineEdit *orderNoBox = nullptr;    // order number
    QLineEdit *contractBox = nullptr;    // contract
    QLineEdit *siteAddressBox = nullptr;    // site address
    QPushButton *printButton = nullptr; // "Print"
    QPushButton *closeButton = nullptr; // "Close"

    // The heading's tool tip.
    static const QString kHeadingToolTip;

    // Handlers.
    void onPrintClicked();
    void onCloseClicked();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    Printer &m_printer;
    Prompts &m_prompts;
};
