#include "Form1.h"

#include "AprilFool.h"
#include "Failure.h"
#include "Form2.h"
#include "Form3.h"
#include "Kestrion.h"
#include "LabelFonts.h"
#include "LabelTexts.h"
#include "NumberText.h"
#include "Ormex.h"
#include "Prompts.h"
#include "PrintStamp.h"
#include "QuickLabel.h"
#include "SavedPrinter.h"
#include "WindowDesign.h"
#include "ShelfLabels.h"
#include "frmBinLabeller.h"

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
#include <cmath>
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

int keyAsciiOf(const QKeyEvent *key)
{
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
        return kEnter;
    const QString text = key->text();
    return text.size() == 1 ? text.at(0).unicode() : 0;
}

// The three questions of the shelf run.
const QString kRowPrompt = QStringLiteral("Please Enter the Row");
const QString kRacksPrompt = QStringLiteral("Please Enter the number of Racks");
const QString kShelvesPrompt = QStringLiteral("Please Enter the number of Shelves");

// A typed count as a loop bound: its value, down to the last whole number not
// above it; below 1 runs the loop zero times. nullopt (with the reason added to
// `problems`) when the answer is not a number.
std::optional<qint64> loopBound(const QString &answer, const QString &prompt, QStringList *problems)
{
    const std::optional<double> value = NumberText::strictNumber(answer);
    if (!value || !std::isfinite(*value)) {
        problems->append(answer.isEmpty()
                             ? QStringLiteral("\"%1\" was left empty or cancelled; a number is needed.").arg(prompt)
                             : QStringLiteral("\"%1\" was answered \"%2\", which is not a number.").arg(prompt, answer));
        return std::nullopt;
    }
    const double whole = std::floor(*value);
    if (whole < 1)
        return 0;
    return whole >= 1e15 ? qint64(1e15) : qint64(whole); // a run that long is stopped with Cancel
}

// Runs longer than this show their progress and can be cancelled.
constexpr qint64 kQuietRun = 50;

} // namespace

Form1::Form1(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    LabelFonts::ensureInstalled();
    buildControls();
    if (QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    Form_Load();
}

void Form1::buildControls()
{
    setWindowTitle(QStringLiteral("TagFoundry"));
    setWindowIcon(QIcon(QStringLiteral(":/printer.png")));
    setFont(WindowDesign::font(kTahoma, 20.25, false));
    setFixedSize(WindowDesign::twipsSize(5400, 4230));

    Label1 = new QLabel(LabelTexts::kCompanyName, this);
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label1->setFont(WindowDesign::font(kTahoma, 9.75, true));
    Label1->setGeometry(twips(120, 120, 5175, 255));
    Label1->installEventFilter(this);

    Combo1 = editableCombo(this);
    Combo1->addItems(customerNames());
    Combo1->setEditText(QString());
    Combo1->setFont(WindowDesign::font(kTahoma, 21.75, false));
    Combo1->setGeometry(twips(120, 480, 5175, 645));
    Combo1->installEventFilter(this);

    Text2 = new QLineEdit(this);
    Text2->setFont(WindowDesign::font(kTahoma, 30, false));
    Text2->setGeometry(twips(120, 1200, 5175, 855));
    Text2->installEventFilter(this);

    Label2 = new QLabel(this); // transparent: a label paints no background of its own
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label2->setGeometry(twips(120, 2160, 5175, 495));

    Command1 = new QPushButton(QStringLiteral("Print!"), this);
    Command1->setToolTip(QStringLiteral("Print Label"));
    Command1->setGeometry(twips(120, 2760, 2055, 615));

    Command4 = pictureButton(this, QStringLiteral(":/label_sheet.png"));
    Command4->setGeometry(twips(2280, 2760, 615, 615));

    Command3 = pictureButton(this, QStringLiteral(":/printer.png"));
    Command3->setToolTip(QStringLiteral("Change Printer"));
    Command3->setGeometry(twips(3000, 2760, 615, 615));

    Command6 = pictureButton(this, QStringLiteral(":/landscape.png"));
    Command6->setGeometry(twips(3720, 2760, 615, 615));

    Combo2 = editableCombo(this);
    Combo2->setEditText(QStringLiteral("1"));
    Combo2->setGeometry(twips(4440, 2760, 855, 615));

    Command5 = new QPushButton(QStringLiteral("Ormex"), this);
    Command5->setGeometry(twips(120, 3480, 1575, 615));

    Command2 = new QPushButton(QStringLiteral("Shelves"), this);
    Command2->setToolTip(QStringLiteral("Print Shelf Labels"));
    Command2->setGeometry(twips(1800, 3480, 1695, 615));

    Command7 = new QPushButton(QStringLiteral("Bins"), this);
    Command7->setGeometry(twips(3600, 3480, 1695, 615));

    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);

    // Tab order; the two labels take no focus.
    const QList<QWidget *> order = {Combo1, Text2, Command1, Command2, Command4, Command3,
                                    Command6, Command5, Combo2, Command7};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    Combo1->setFocus();

    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &Form1::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &Form1::Command7_Click);
}

void Form1::showMainWindow()
{
    static QPointer<Form1> window;
    if (!window) {
        window = new Form1;
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    window->show();
}

QStringList Form1::customerNames()
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

void Form1::Form_Load()
{
    Timer1->start(); // first tick a second from now; the clock stays empty until then
    if (SavedPrinter::read() == SavedPrinter::kNone)
        Form2::showModal(this);
    const QDate today = Clock::now().date();
    if (today.month() == 4 && today.day() == 1)
        openJokeWindow();
    for (int copies = 1; copies <= 30; ++copies)
        Combo2->addItem(QString::number(copies));
    Combo2->setEditText(QStringLiteral("1"));
}

void Form1::Timer1_Timer()
{
    Label2->setText(PrintStamp());
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    // The handlers look at the key or button; none of them swallows the event.
    if (event->type() == QEvent::KeyPress) {
        const int keyAscii = keyAsciiOf(static_cast<QKeyEvent *>(event));
        if (watched == Combo1)
            Combo1_KeyPress(keyAscii);
        else if (watched == Text2)
            Text2_KeyPress(keyAscii);
    } else if (event->type() == QEvent::MouseButtonPress && watched == Label1) {
        Label1_MouseDown(static_cast<QMouseEvent *>(event)->button());
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::Combo1_KeyPress(int keyAscii)
{
    if (keyAscii == kEnter)
        Text2->setFocus(Qt::TabFocusReason);
}

void Form1::Text2_KeyPress(int keyAscii)
{
    if (keyAscii != kEnter)
        return;
    // When the label could not be printed the fields stay as they are and
    // nothing offers to clear them.
    if (!printQuickLabel())
        return;
    Combo1->setFocus(Qt::TabFocusReason);
    if (Prompts::current().askYesNo(this, QStringLiteral("Clear?"), QStringLiteral("Clear Fields?"))) {
        Combo1->setEditText(QString());
        Text2->setText(QString());
    }
}

void Form1::Label1_MouseDown(Qt::MouseButton button)
{
    if (button == Qt::RightButton)
        openJokeWindow();
}

void Form1::Command1_Click()
{
    printQuickLabel();
}

bool Form1::printQuickLabel()
{
    try {
        PrintQuickLabel(Combo2->currentText(), Combo1->currentText(), Text2->text());
    } catch (const Failure &failure) {
        Prompts::current().warn(this, QStringLiteral("The quick label was not printed.\n%1").arg(failure.message()));
        return false;
    }
    Combo2->setEditText(QStringLiteral("1"));
    return true;
}

void Form1::Command2_Click()
{
    SelectSavedPrinter(); // "none" or not installed: the labels go to the current printer
    Prompts &prompts = Prompts::current();
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

    const double total = double(*rackCount) * double(*shelfCount);
    std::unique_ptr<QProgressDialog> progress;
    if (total > kQuietRun) {
        progress = std::make_unique<QProgressDialog>(this);
        progress->setWindowTitle(QStringLiteral("Shelf Labels"));
        progress->setCancelButtonText(QStringLiteral("Cancel"));
        progress->setRange(0, int(std::min(total, double(INT_MAX))));
        progress->setAutoReset(false);
        progress->setAutoClose(false);
        progress->setMinimumDuration(0);
        progress->setWindowModality(Qt::WindowModal);
        progress->show();
    }

    qint64 printed = 0;
    for (qint64 rack = 1; rack <= *rackCount; ++rack) {
        for (qint64 shelf = 1; shelf <= *shelfCount; ++shelf) {
            const QString code = ShelfLocationCode(row, rack, shelf);
            if (progress) {
                progress->setLabelText(QStringLiteral("Printing shelf label %1 (%2 of %3)")
                                           .arg(code)
                                           .arg(printed + 1)
                                           .arg(qint64(total)));
                progress->setValue(int(std::min(printed, qint64(INT_MAX))));
                if (progress->wasCanceled())
                    return; // the labels already ended stay printed
            }
            try {
                PrintShelfLabel(row, rack, shelf);
            } catch (const Failure &failure) {
                progress.reset();
                prompts.warn(this, QStringLiteral("Shelf label %1 was not printed.\n%2\n"
                                                  "%3 shelf label(s) before it were printed; the run stopped there.")
                                       .arg(code, failure.message())
                                       .arg(printed));
                return;
            }
            ++printed;
        }
    }
}

void Form1::Command3_Click()
{
    Form2::showModal(this);
}

void Form1::Command4_Click()
{
    Form3::showModal(this);
}

void Form1::Command5_Click()
{
    Ormex::showModal(this);
}

void Form1::Command6_Click()
{
    Kestrion::showModal(this);
}

void Form1::Command7_Click()
{
    frmBinLabeller::showModal(this);
}

void Form1::openJokeWindow()
{
    AprilFool::showModal(this);
}
