#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

// The main window: the customer box, the second-line box, the copies box, the
// clock, the quick label and the shelf run, and the buttons that open the
// other windows modally. A plain top-level widget rather than a QDialog, so
// Enter and Esc mean only what this window's handlers make them mean.
class Form1 : public QWidget {
    Q_OBJECT
public:
    // Builds the controls and runs the load sequence (which may show the
    // printer chooser modally) before the window is first shown.
    explicit Form1(QWidget *parent = nullptr);

    // Creates the main window if it does not exist yet and shows it modeless.
    static void showMainWindow();

    // The 44 names of the customer box's list, in their fixed order.
    static QStringList customerNames();

    // Controls, named as the window's layout names them.
    QLabel *Label1 = nullptr;      // company name
    QComboBox *Combo1 = nullptr;   // customer box
    QLineEdit *Text2 = nullptr;    // second-line box
    QLabel *Label2 = nullptr;      // clock
    QPushButton *Command1 = nullptr; // "Print!"
    QPushButton *Command4 = nullptr; // address labels
    QPushButton *Command3 = nullptr; // printer chooser
    QPushButton *Command6 = nullptr; // part labels
    QComboBox *Combo2 = nullptr;   // copies box
    QPushButton *Command5 = nullptr; // "Ormex"
    QPushButton *Command2 = nullptr; // "Shelves"
    QPushButton *Command7 = nullptr; // "Bins"
    QTimer *Timer1 = nullptr;

    // Event handlers.
    void Form_Load();
    void Timer1_Timer();
    void Combo1_KeyPress(int keyAscii);
    void Text2_KeyPress(int keyAscii);
    void Label1_MouseDown(Qt::MouseButton button);
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    // The quick label; false (after telling the user why) when nothing was printed.
    bool printQuickLabel();
    void openJokeWindow();
};
