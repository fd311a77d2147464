#pragma once

#include <QDialog>

class Printer;
class Prompts;

class QComboBox;
class QLineEdit;
class QPushButton;

// The address label window: four typed lines printed large in Arial on one
// label, in the number of copies chosen in the copies box.
class AddressLabelWindow : public QDialog {
    Q_OBJECT
public:
    AddressLabelWindow(Printer &printer, Prompts &prompts, QWidget *parent = nullptr);

    // Opens the window afresh over `owner`, shows it modally and returns when
    // it has been closed; the window is gone by then.
    static void showModal(Printer &printer, Prompts &prompts, QWidget *owner);

    // Controls; each one's object name is its member name.
    QLineEdit *line1Box = nullptr;    // address line 1
    QLineEdit *line2Box = nullptr;    // address line 2
    QLineEdit *line3Box = nullptr;    // address line 3
    QLineEdit *line4Box = nullptr;    // address line 4
    QPushButton *printButton = nullptr; // "Print"
    QPushButton *closeButton = nullptr; // "Close"
    QComboBox *copiesBox = nullptr;   // copies

    // Handlers.
    void load();
    void onPrintClicked();
    void onCloseClicked();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    Printer &m_printer;
    Prompts &m_prompts;
};
