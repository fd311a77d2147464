#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

// The address label window: four typed lines printed large in Arial on one
// label, in the number of copies chosen in the copies box.
class AddressLabelWindow : public QDialog {
    Q_OBJECT
public:
    explicit AddressLabelWindow(QWidget *parent = nullptr);

    // Opens the window afresh over `owner`, shows it modally and returns when
    // it has been closed; the window is gone by then.
    static void showModal(QWidget *owner);

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
    void onLine1KeyPress(int keyAscii);
    void onLine2KeyPress(int keyAscii);
    void onLine3KeyPress(int keyAscii);
    void onLine4KeyPress(int keyAscii);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};
