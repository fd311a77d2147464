#pragma once

#include <QDialog>

class Printer;
class QLabel;
class QListWidget;
class QPushButton;

// The printer chooser: lists the installed printers and saves the one the
// user picks as the label printer. It is the only writer of that setting and
// never changes the printer of the running process itself.
class PrinterChooser : public QDialog {
    Q_OBJECT
public:
    // Builds the controls and runs the load (fills the list with the
    // printers `printer` can be made).
    explicit PrinterChooser(const Printer &printer, QWidget *parent = nullptr);

    // Creates the window afresh, shows it modally over `owner` and returns
    // when it has closed and been destroyed.
    static void showModal(const Printer &printer, QWidget *owner);

    QLabel *promptLabel = nullptr;
    QListWidget *printerList = nullptr;
    QPushButton *saveButton = nullptr; // "Save"

    void load();

private:
    const Printer &m_printer;

public:
    void onSelectionChanged();
    void onSaveClicked();
};
