#include "MainWindow.h"

#include "AddressLabelWindow.h"
#include "BinLabelWindow.h"
#include "Failure.h"
#include "JokeWindow.h"
#include "LabelFonts.h"
#include "LabelTexts.h"
#include "OrderLabelWindow.h"
#include "PartWindow.h"
#include "PrintStamp.h"
#include "Printer.h"
#include "PrinterChooser.h"
#include "Prompts.h"
#include "QuickLabel.h"
#include "SavedPrinter.h"
#include "ShelfLabels.h"
#include "WindowDesign.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <climits>
#include <memory>
#include <optional>

using namespace LabelTexts;
using WindowDesign::kEnter;
using WindowDesign::twips;

namespace {

// An editable combo box whose text is exactly what was typed or picked: no
// inline completion, no typed entry added to the list, no case-insensitive
// snapping of the text to a list entry when editing ends.
QComboBox *editableCombo(QWidget *parent)
{
    auto *combo = new QComboBox(parent);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    return combo;
}

QPushButton *pictureButton(QWidget *parent, const QString &icon)
{
    auto *button = new QPushButton(parent);
    button->setIcon(QIcon(icon));
    button->setIconSize(QSize(32, 32));
    return button;
}

// The three questions of the shelf run.
const QString kRowPrompt = QStringLiteral("Please Enter the Row");
const QString kRacksPrompt = QStringLiteral("Please Enter the number of Racks");
const QString kShelvesPrompt = QStringLiteral("Please Enter the number of Shelves");

// A typed count as a loop bound; nullopt (with the reason added to
// `problems`) when the answer is not a number.
std::optional<qint64> loopBound(const QString &answer, const QString &prompt, QStringList *problems)
{
    const std::optional<qint64> count = ShelfCount(answer);
    if (!count) {
        problems->append(
            answer.isEmpty()
                ? QStringLiteral("\"%1\" was left empty or cancelled; a number is needed.").arg(prompt)
                : QStringLiteral("\"%1\" was answered \"%2\", which is not a number.").arg(prompt, answer));
    }
    return count;
}

// Runs longer than this show their progress and can be cancelled.
constexpr qint64 kQuietRun = 50;

} // namespace

MainWindow::MainWindow(Printer &printer, Prompts &prompts, QWidget *parent)
    : QWidget(parent, WindowDesign::kFixedMainWindow), m_printer(printer), m_prompts(prompts)
{
    LabelFonts::ensureInstalled();
    buildControls();
    if (QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    load();
}

void MainWindow::buildControls()
{
    setWindowTitle(QStringLiteral("TagFoundry"));
    setWindowIcon(QIcon(QStringLiteral(":/printer.png")));
    setFont(WindowDesign::font(kTahoma, 20.25, false));
    setFixedSize(WindowDesign::twipsSize(5400, 4230));

    companyLabel = new QLabel(LabelTexts::kCompanyName, this);
    companyLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    companyLabel->setFont(WindowDesign::font(kTahoma, 9.75, true));
    companyLabel->setGeometry(twips(120, 120, 5175, 255));
    companyLabel->installEventFilter(this);

    customerBox = editableCombo(this);
    customerBox->addItems(customerNames());
    customerBox->setEditText(QString());
    customerBox->setFont(WindowDesign::font(kTahoma, 21.75, false));
    customerBox->setGeometry(twips(120, 480, 5175, 645));
    WindowDesign::onKeyPress(customerBox, [this](int key) { onCustomerKeyPress(key); });

    secondLineBox = new QLineEdit(this);
    secondLineBox->setFont(WindowDesign::font(kTahoma, 30, false));
    secondLineBox->setGeometry(twips(120, 1200, 5175, 855));
    WindowDesign::onKeyPress(secondLineBox, [this](int key) { onSecondLineKeyPress(key); });

    clockLabel = new QLabel(this); // transparent: a label paints no background of its own
    clockLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    clockLabel->setGeometry(twips(120, 2160, 5175, 495));

    printButton = new QPushButton(QStringLiteral("Print!"), this);
    printButton->setToolTip(QStringLiteral("Print Label"));
    printButton->setGeometry(twips(120, 2760, 2055, 615));

    addressLabelsButton = pictureButton(this, QStringLiteral(":/label_sheet.png"));
    addressLabelsButton->setGeometry(twips(2280, 2760, 615, 615));

    choosePrinterButton = pictureButton(this, QStringLiteral(":/printer.png"));
    choosePrinterButton->setToolTip(QStringLiteral("Change Printer"));
    choosePrinterButton->setGeometry(twips(3000, 2760, 615, 615));

    partLabelsButton = pictureButton(this, QStringLiteral(":/landscape.png"));
    partLabelsButton->setGeometry(twips(3720, 2760, 615, 615));

    copiesBox = editableCombo(this);
    copiesBox->setEditText(QStringLiteral("1"));
    copiesBox->setGeometry(twips(4440, 2760, 855, 615));

    orderLabelsButton = new QPushButton(QStringLiteral("Ormex"), this);
    orderLabelsButton->setGeometry(twips(120, 3480, 1575, 615));

    shelvesButton = new QPushButton(QStringLiteral("Shelves"), this);
    shelvesButton->setToolTip(QStringLiteral("Print Shelf Labels"));
    shelvesButton->setGeometry(twips(1800, 3480, 1695, 615));

    binLabelsButton = new QPushButton(QStringLiteral("Bins"), this);
    binLabelsButton->setGeometry(twips(3600, 3480, 1695, 615));

    clockTimer = new QTimer(this);
    clockTimer->setInterval(1000);

    WindowDesign::nameControls({{companyLabel, "companyLabel"}, {customerBox, "customerBox"},
                                {secondLineBox, "secondLineBox"}, {clockLabel, "clockLabel"},
                                {printButton, "printButton"}, {addressLabelsButton, "addressLabelsButton"},
                                {choosePrinterButton, "choosePrinterButton"}, {partLabelsButton, "partLabelsButton"},
                                {copiesBox, "copiesBox"}, {orderLabelsButton, "orderLabelsButton"},
                                {shelvesButton, "shelvesButton"}, {binLabelsButton, "binLabelsButton"}});

    // Tab order; the two labels take no focus.
    const QList<QWidget *> order = {customerBox,       secondLineBox,     printButton,      shelvesButton,
                                    addressLabelsButton, choosePrinterButton, partLabelsButton, orderLabelsButton,
                                    copiesBox,         binLabelsButton};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    customerBox->setFocus();

    connect(clockTimer, &QTimer::timeout, this, &MainWindow::onClockTick);
    connect(printButton, &QPushButton::clicked, this, &MainWindow::onPrintClicked);
    connect(shelvesButton, &QPushButton::clicked, this, &MainWindow::onShelvesClicked);
    connect(choosePrinterButton, &QPushButton::clicked, this, &MainWindow::onChoosePrinterClicked);
    connect(addressLabelsButton, &QPushButton::clicked, this, &MainWindow::onAddressLabelsClicked);
    connect(orderLabelsButton, &QPushButton::clicked, this, &MainWindow::onOrderLabelsClicked);
    connect(partLabelsButton, &QPushButton::clicked, this, &MainWindow::onPartLabelsClicked);
    connect(binLabelsButton, &QPushButton::clicked, this, &MainWindow::onBinLabelsClicked);
}

void MainWindow::showMainWindow(Printer &printer, Prompts &prompts)
{
    static QPointer<MainWindow> window;
    if (!window) {
        window = new MainWindow(printer, prompts);
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    window->show();
}

QStringList MainWindow::customerNames()
{
    return {
        QStringLiteral("Brackenfold Heating Services"),
        QStringLiteral("Northvale Housing Trust"),
        QStringLiteral("KMC - Gareth Linnell"),
        QStringLiteral("Quillmere Gas & Plumbing"),
        QStringLiteral("J. Pellowe Plumbing & Heating"),
        QStringLiteral("Corrivale Gas Services"),
        QStringLiteral("Elmridge Homes Association"),
        QStringLiteral("KMC - Sandra Oakhurst"),
        QStringLiteral("Ashcombe Thermal Ltd"),
        QStringLiteral("R. Trevannick Gas Engineer"),
        QStringLiteral("Penhallow Heating & Boilers"),
        QStringLiteral("Saltmarsh Housing Co-operative"),
        QStringLiteral("KMC - Pete Durrow"),
        QStringLiteral("Tolvenna Heating Ltd"),
        QStringLiteral("D. Farrowby Heating"),
        QStringLiteral("Wrexley Borough Housing"),
        QStringLiteral("KMC - Imran Sadiq"),
        QStringLiteral("Millbeck Gas Care"),
        QStringLiteral("A. Marchbank Plumbing"),
        QStringLiteral("Larkspur Homes Group"),
        QStringLiteral("KMC - Tom Ellery"),
        QStringLiteral("Redfearn & Tolley Heating"),
        QStringLiteral("S. Quennell Gas Services"),
        QStringLiteral("Ferncliffe Housing Partnership"),
        QStringLiteral("Wintercombe Boiler Services"),
        QStringLiteral("KMC - Lorna Pike"),
        QStringLiteral("B. Hollinrake Heating"),
        QStringLiteral("Castlemead Housing Society"),
        QStringLiteral("Orchardley Gas & Heating"),
        QStringLiteral("P. Garside Plumbing & Gas"),
        QStringLiteral("KMC - Neil Whitcombe"),
        QStringLiteral("Thornhaven Heating Solutions"),
        QStringLiteral("Eastmoor Tenants' Housing Association"),
        QStringLiteral("M. Oyelaran Heating"),
        QStringLiteral("Rushmere Central Heating"),
        QStringLiteral("KMC - Claire Dunmore"),
        QStringLiteral("Wrenfield Gas Engineers"),
        QStringLiteral("Hillbrow Housing Trust"),
        QStringLiteral("G. Tattershall Boilers"),
        QStringLiteral("Mossgill Heating & Gas"),
        QStringLiteral("KMC - Amir Haddad"),
        QStringLiteral("Vennick Homes"),
        QStringLiteral("L. Straughan Heating"),
        QStringLiteral("Pennyfold Housing Association"),
    };
}

void MainWindow::load()
{
    clockTimer->start(); // first tick a second from now; the clock stays empty until then
    if (SavedPrinter::read() == SavedPrinter::kNone)
        PrinterChooser::showModal(m_printer, this);
    const QDate today = m_printer.clock().now().date();
    if (today.month() == 4 && today.day() == 1)
        openJokeWindow();
    for (int copies = 1; copies <= 30; ++copies)
        copiesBox->addItem(QString::number(copies));
    copiesBox->setEditText(QStringLiteral("1"));
}

void MainWindow::onClockTick()
{
    clockLabel->setText(PrintStamp(m_printer.clock()));
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    // The handler looks at the button; it does not swallow the event.
    if (event->type() == QEvent::MouseButtonPress && watched == companyLabel) {
        onCompanyMouseDown(static_cast<QMouseEvent *>(event)->button());
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::onCustomerKeyPress(int keyAscii)
{
    if (keyAscii == kEnter)
        secondLineBox->setFocus(Qt::TabFocusReason);
}

void MainWindow::onSecondLineKeyPress(int keyAscii)
{
    if (keyAscii != kEnter)
        return;
    // When the label could not be printed the fields stay as they are and
    // nothing offers to clear them.
    if (!printQuickLabel())
        return;
    customerBox->setFocus(Qt::TabFocusReason);
    if (m_prompts.askYesNo(this, QStringLiteral("Clear?"), QStringLiteral("Clear Fields?"))) {
        customerBox->setEditText(QString());
        secondLineBox->setText(QString());
    }
}

void MainWindow::onCompanyMouseDown(Qt::MouseButton button)
{
    if (button == Qt::RightButton)
        openJokeWindow();
}

void MainWindow::onPrintClicked()
{
    printQuickLabel();
}

bool MainWindow::printQuickLabel()
{
    try {
        PrintQuickLabel(m_printer, copiesBox->currentText(), customerBox->currentText(), secondLineBox->text());
    } catch (const Failure &failure) {
        m_prompts.warn(this, QStringLiteral("The quick label was not printed.\n%1").arg(failure.message()));
        return false;
    }
    copiesBox->setEditText(QStringLiteral("1"));
    return true;
}

void MainWindow::onShelvesClicked()
{
    SelectSavedPrinter(m_printer); // "none" or not installed: the labels go to the current printer
    Prompts &prompts = m_prompts;
    const QString row = prompts.input(this, kRowPrompt, QStringLiteral("Enter Row"));
    const QString racks = prompts.input(this, kRacksPrompt, QStringLiteral("Number of Racks"));
    const QString shelves = prompts.input(this, kShelvesPrompt, QStringLiteral("Number of Shelves"));

    QStringList problems;
    const std::optional<qint64> rackCount = loopBound(racks, kRacksPrompt, &problems);
    const std::optional<qint64> shelfCount = loopBound(shelves, kShelvesPrompt, &problems);
    if (!rackCount || !shelfCount) {
        prompts.warn(this, QStringLiteral("No shelf labels were printed.\n") + problems.join(QLatin1Char('\n')));
        return;
    }

    ShelfRun run(row, *rackCount, *shelfCount);
    std::unique_ptr<QProgressDialog> progress;
    if (run.total() > kQuietRun) {
        progress = std::make_unique<QProgressDialog>(this);
        auto *text = new QLabel(progress.get());
        text->setTextFormat(Qt::PlainText); // it quotes the row as typed
        progress->setLabel(text);
        progress->setWindowTitle(QStringLiteral("Shelf Labels"));
        progress->setCancelButtonText(QStringLiteral("Cancel"));
        progress->setRange(0, int(std::min(run.total(), double(INT_MAX))));
        progress->setAutoReset(false);
        progress->setAutoClose(false);
        progress->setMinimumDuration(0);
        progress->setWindowModality(Qt::WindowModal);
        progress->show();
    }

    while (!run.atEnd()) {
        const QString code = run.nextCode();
        if (progress) {
            progress->setLabelText(QStringLiteral("Printing shelf label %1 (%2 of %3)")
                                       .arg(code)
                                       .arg(run.printed() + 1)
                                       .arg(qint64(run.total())));
            progress->setValue(int(std::min(run.printed(), qint64(INT_MAX))));
            if (progress->wasCanceled())
                return; // the labels already ended stay printed
        }
        try {
            run.printNext(m_printer);
        } catch (const Failure &failure) {
            progress.reset();
            prompts.warn(this, QStringLiteral("Shelf label %1 was not printed.\n%2\n"
                                              "%3 shelf label(s) before it were printed; the run stopped there.")
                                   .arg(code, failure.message())
                                   .arg(run.printed()));
            return;
        }
    }
}

void MainWindow::onChoosePrinterClicked()
{
    PrinterChooser::showModal(m_printer, this);
}

void MainWindow::onAddressLabelsClicked()
{
    AddressLabelWindow::showModal(m_printer, m_prompts, this);
}

void MainWindow::onOrderLabelsClicked()
{
    OrderLabelWindow::showModal(m_printer, m_prompts, this);
}

void MainWindow::onPartLabelsClicked()
{
    PartWindow::showModal(m_printer, m_prompts, this);
}

void MainWindow::onBinLabelsClicked()
{
    BinLabelWindow::showModal(m_printer, m_prompts, this);
}

void MainWindow::openJokeWindow()
{
    JokeWindow::showModal(this);
}
