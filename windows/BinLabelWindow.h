#pragma once

#include <QDialog>

class Printer;
class Prompts;

class QLabel;
class QLineEdit;
class QPushButton;

// The bin label window: type a bin code, press Enter (or Print), and a label
// with the code framed, its barcode and the print stamp goes to the printer
// that is current; the field is then empty for the next code.
class BinLabelWindow : public QDialog {
    Q_OBJECT
public:
    BinLabelWindow(Printer &printer, Prompts &prompts, QWidget *parent = nullptr);

    // Opens the window afresh over `owner`, shows it modally and returns when
    // it has been closed; the window is gone by then.
    static void showModal(Printer &printer, Prompts &prompts, QWidget *owner);

    // Controls; each one's object name is its member name.
    QLineEdit *codeBox = nullptr;    // the bin code
    QPushButton *printButton = nullptr; // "Print", the default button
    QPushButton *closeButton = nullptr; // "Close", the cancel button
    QLabel *headingLabel = nullptr;      // heading "Bin Labelling"

    // Handlers.
    void onPrintClicked();
    void onCloseClicked();
    void onCodeKeyPress(int keyAscii);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    Printer &m_printer;
    Prompts &m_prompts;
    bool defaultButtonTakesEnter() const;
};
