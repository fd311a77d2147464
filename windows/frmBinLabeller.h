#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// The bin label window: type a bin code, press Enter (or Print), and a label
// with the code framed, its barcode and the print stamp goes to the printer
// that is current; the field is then empty for the next code.
class frmBinLabeller : public QDialog {
    Q_OBJECT
public:
    explicit frmBinLabeller(QWidget *parent = nullptr);

    // Opens the window afresh over `owner`, shows it modally and returns when
    // it has been closed; the window is gone by then.
    static void showModal(QWidget *owner);

    // Controls, named as in the window's design.
    QLineEdit *Text1 = nullptr;    // the bin code
    QPushButton *Command1 = nullptr; // "Print", the default button
    QPushButton *Command2 = nullptr; // "Close", the cancel button
    QLabel *Label1 = nullptr;      // heading "Bin Labelling"

    // Handlers.
    void Command1_Click();
    void Command2_Click();
    void Text1_KeyPress(int keyAscii);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool defaultButtonTakesEnter() const;
};
