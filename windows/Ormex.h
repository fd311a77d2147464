#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// The order label window for the contract customer ORMEX: the customer's
// name as a heading, then the typed order number, contract and site address.
class Ormex : public QDialog {
    Q_OBJECT
public:
    explicit Ormex(QWidget *parent = nullptr);

    // Opens the window afresh over `owner`, shows it modally and returns when
    // it has been closed; the window is gone by then.
    static void showModal(QWidget *owner);

    // Controls, named as in the window's design.
    QLabel *Label1 = nullptr;      // heading "Ormex"
    QLabel *Label2 = nullptr;      // "Order No:"
    QLabel *Label3 = nullptr;      // "Contract:"
    QLabel *Label4 = nullptr;      // "Site Address:"
    QLineEdit *Text1 = nullptr;    // order number
    QLineEdit *Text2 = nullptr;    // contract
    QLineEdit *Text3 = nullptr;    // site address
    QPushButton *Command1 = nullptr; // "Print"
    QPushButton *Command2 = nullptr; // "Close"

    // The heading's tool tip.
    static const QString kHeadingToolTip;

    // Handlers.
    void Command1_Click();
    void Command2_Click();
    void Text1_KeyPress(int keyAscii);
    void Text2_KeyPress(int keyAscii);
    void Text3_KeyPress(int keyAscii);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};
