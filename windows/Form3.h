#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

// The address label window: four typed lines printed large in Arial on one
// label, in the number of copies chosen in the copies box.
class Form3 : public QDialog {
    Q_OBJECT
public:
    explicit Form3(QWidget *parent = nullptr);

    // Opens the window afresh over `owner`, shows it modally and returns when
    // it has been closed; the window is gone by then.
    static void showModal(QWidget *owner);

    // Controls, named as in the window's design.
    QLineEdit *Text1 = nullptr;    // address line 1
    QLineEdit *Text2 = nullptr;    // address line 2
    QLineEdit *Text3 = nullptr;    // address line 3
    QLineEdit *Text4 = nullptr;    // address line 4
    QPushButton *Command1 = nullptr; // "Print"
    QPushButton *Command2 = nullptr; // "Close"
    QComboBox *Combo2 = nullptr;   // copies

    // Handlers.
    void Form_Load();
    void Command1_Click();
    void Command2_Click();
    void Text1_KeyPress(int keyAscii);
    void Text2_KeyPress(int keyAscii);
    void Text3_KeyPress(int keyAscii);
    void Text4_KeyPress(int keyAscii);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};
