#pragma once

#include <QDialog>

// The main window. (Its controls and handlers are still to come.)
class Form1 : public QDialog {
    Q_OBJECT
public:
    explicit Form1(QWidget *parent = nullptr);

    // Creates the main window if it does not exist yet and shows it modeless.
    static void showMainWindow();
};
