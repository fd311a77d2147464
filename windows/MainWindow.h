#pragma once

#include <QWidget>

class Printer;
class Prompts;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

// The main window: the customer box, the second-line box, the copies box, the
// clock, the quick label and the shelf run, and the buttons that open the
// other windows modally. A plain top-level widget rather than a QDialog, so
// Enter and Esc mean only what this window's handlers make them mean.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    // Builds the controls and runs the load sequence (which may show the
    // printer chooser modally) before the window is first shown. It prints
    // on `printer`, asks and tells through `prompts`, and hands both on to
    // the windows it opens.
    MainWindow(Printer &printer, Prompts &prompts, QWidget *parent = nullptr);

    // Creates the main window if it does not exist yet and shows it modeless.
    static void showMainWindow(Printer &printer, Prompts &prompts);

    // The 44 names of the customer box's list, in their fixed order.
    static QStringList customerNames();

    // Controls; each one's object name is its member name.
    QLabel *companyLabel = nullptr;      // company name
    QComboBox *customerBox = nullptr;   // customer box
    QLineEdit *secondLineBox = nullptr;    // second-line box
    QLabel *clockLabel = nullptr;      // clock
    QPushButton *printButton = nullptr; // "Print!"
    QPushButton *addressLabelsButton = nullptr; // address labels
    QPushButton *choosePrinterButton = nullptr; // printer chooser
    QPushButton *partLabelsButton = nullptr; // part labels
    QComboBox *copiesBox = nullptr;   // copies box
    QPushButton *orderLabelsButton = nullptr; // "Ormex"
    QPushButton *shelvesButton = nullptr; // "Shelves"
    QPushButton *binLabelsButton = nullptr; // "Bins"
    QTimer *clockTimer = nullptr;

    // Event handlers.
    void load();
    void onClockTick();
    void onCustomerKeyPress(int keyAscii);
    void onSecondLineKeyPress(int keyAscii);
    void onCompanyMouseDown(Qt::MouseButton button);
    void onPrintClicked();
    void onShelvesClicked();
    void onChoosePrinterClicked();
    void onAddressLabelsClicked();
    void onOrderLabelsClicked();
    void onPartLabelsClicked();
    void onBinLabelsClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Printer &m_printer;
    Prompts &m_prompts;

    void buildControls();
    // The quick label; false (after telling the user why) when nothing was printed.
    bool printQuickLabel();
    void openJokeWindow();
};
