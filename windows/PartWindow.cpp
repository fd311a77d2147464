#include "PartWindow.h"

#include "Code39Glyphs.h"
#include "Failure.h"
#include "JobRenderer.h"
#include "LabelFonts.h"
#include "LabelTexts.h"
#include "PartLabel.h"
#include "PartsList.h"
#include "Prompts.h"
#include "WindowDesign.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStringListModel>

namespace {

const QString kCannotLoad = QStringLiteral("Cannot Load Parts File");
using WindowDesign::kEnter;
using WindowDesign::twips;

// Window fonts are designed in points at 96 dpi; pixel sizes keep the text
// in proportion to the twips geometry whatever the screen reports.
QFont windowFont(double points, bool bold)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(qRound(points * 96 / 72));
    font.setBold(bold);
    return font;
}

QLabel *caption(QWidget *parent, const QString &text, QRect geometry, Qt::Alignment alignment)
{
    auto *label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText); // a part's code and description as the parts file holds them
    label->setGeometry(geometry);
    label->setAlignment(alignment | Qt::AlignTop);
    return label;
}

QPushButton *whiteButton(QWidget *parent, const QString &text, QRect geometry)
{
    auto *button = new QPushButton(text, parent);
    button->setGeometry(geometry);
    button->setFont(windowFont(9.75, true));
    button->setAutoDefault(false); // neither button answers Enter
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, Qt::white);
    button->setPalette(palette);
    return button;
}

} // namespace

// The chooser's list. The combo box looks its text up in the list whenever
// editing finishes (Enter, or the focus leaving it); with tens of thousands
// of parts an exact lookup goes through an index instead of every entry.
class PartList : public QStringListModel {
public:
    using QStringListModel::QStringListModel;

    void setEntries(const QStringList &entries)
    {
        m_firstRow.clear();
        m_firstRow.reserve(entries.size());
        for (qsizetype row = entries.size() - 1; row >= 0; --row)
            m_firstRow.insert(entries[row], int(row));
        setStringList(entries);
        m_indexedRows = rowCount();
    }

    QModelIndexList match(const QModelIndex &start, int role, const QVariant &value, int hits,
                          Qt::MatchFlags flags) const override
    {
        const Qt::MatchFlags exact = flags & ~Qt::MatchFixedString;
        const bool indexed = start.row() == 0 && hits == 1 && (role == Qt::DisplayRole || role == Qt::EditRole)
                             && exact == Qt::MatchCaseSensitive && value.typeId() == QMetaType::QString
                             && m_indexedRows == rowCount();
        if (!indexed)
            return QStringListModel::match(start, role, value, hits, flags);
        const auto found = m_firstRow.constFind(value.toString());
        if (found == m_firstRow.cend())
            return {};
        return {index(*found)};
    }

private:
    QHash<QString, int> m_firstRow; // each text's first row
    int m_indexedRows = 0;
};

void PictureBox::setPicture(const QImage &picture)
{
    m_picture = picture;
    update();
}

void PictureBox::paintEvent(QPaintEvent *)
{
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), m_picture);
}

void BarcodeLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.scale(1 / kTwipsPerPixel, 1 / kTwipsPerPixel);
    const QString barcode = text();
    const double left = (width() * kTwipsPerPixel - Code39Glyphs::textWidth(barcode, kPoints)) / 2;
    JobRenderer::drawText(painter, QPointF(left, 0), FontSpec{Code39Glyphs::kFontName, kPoints, false}, barcode);
}

PartWindow::PartWindow(Printer &printer, Prompts &prompts, QWidget *parent)
    : QDialog(parent, WindowDesign::kFixedDialog), m_printer(printer), m_prompts(prompts)
{
    LabelFonts::ensureInstalled();
    setWindowTitle(QStringLiteral("VHQ Kestrion Label Printer"));
    setFixedSize(twips(0, 0, 5985, 3495).size());
    setFont(windowFont(9.75, false));
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    logoPicture = new PictureBox(this);
    logoPicture->setGeometry(twips(120, 480, 2880, 1410));
    logoPicture->setPicture(QImage(QStringLiteral(":/logo_large.bmp")));

    partBox = new QComboBox(this);
    partBox->setGeometry(twips(120, 2400, 5775, 360));
    partBox->setEditable(true);
    // The chooser only looks parts up: typing neither completes from the
    // list nor adds to it, so a keystroke never searches the whole list.
    partBox->setInsertPolicy(QComboBox::NoInsert);
    partBox->setCompleter(nullptr);
    partBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_parts = new PartList(this);
    partBox->setModel(m_parts);
    if (auto *list = qobject_cast<QListView *>(partBox->view()))
        list->setUniformItemSizes(true);
    partBox->setEditText(QStringLiteral("Combo1"));

    closeButton = whiteButton(this, QStringLiteral("Close"), twips(4680, 2880, 1215, 495));
    printButton = whiteButton(this, QStringLiteral("Print"), twips(120, 2880, 1335, 495));

    companyLabel = caption(this, LabelTexts::kCompanyName, twips(120, 120, 5775, 375),
                     Qt::AlignHCenter);
    companyLabel->setFont(windowFont(9.75, true));

    copiesSlider = new QScrollBar(Qt::Horizontal, this);
    copiesSlider->setGeometry(twips(1560, 2880, 3015, 255));
    copiesSlider->setRange(1, 100);
    copiesSlider->setSingleStep(1);
    copiesSlider->setPageStep(1);
    copiesSlider->setValue(1);
    copiesSlider->setFocusPolicy(Qt::StrongFocus);
    // A scroll bar's keys are inverted for vertical scrolling; on this
    // slider the right arrow must add copies.
    copiesSlider->setInvertedControls(false);

    copiesLabel = caption(this, QStringLiteral("1"), twips(1560, 3120, 3015, 255), Qt::AlignHCenter);

    codeLabel = caption(this, m_code, twips(3000, 960, 2895, 375), Qt::AlignHCenter);
    codeLabel->setFont(windowFont(15.75, true));

    barcodeLabel = new BarcodeLabel(LabelTexts::barcodeText(m_code), this);
    barcodeLabel->setGeometry(twips(3120, 1440, 2775, 495));

    descriptionLabel = caption(this, m_description, twips(120, 1920, 5775, 375), Qt::AlignLeft);
    descriptionLabel->setFont(windowFont(12, true));

    // Below the client area, never seen: it carries the picture the label prints.
    labelLogo = new PictureBox(this);
    labelLogo->setGeometry(twips(1320, 3840, 2010, 990));
    labelLogo->setPicture(QImage(QStringLiteral(":/logo_small.bmp")));

    productLabel = caption(this, QStringLiteral("Kestrion"), twips(3000, 360, 2895, 615), Qt::AlignHCenter);
    productLabel->setFont(windowFont(26.25, true));

    WindowDesign::nameControls({{logoPicture, "logoPicture"}, {partBox, "partBox"}, {closeButton, "closeButton"},
                                {printButton, "printButton"}, {companyLabel, "companyLabel"},
                                {copiesSlider, "copiesSlider"}, {copiesLabel, "copiesLabel"}, {codeLabel, "codeLabel"},
                                {barcodeLabel, "barcodeLabel"}, {descriptionLabel, "descriptionLabel"},
                                {labelLogo, "labelLogo"}, {productLabel, "productLabel"}});

    setTabOrder(partBox, closeButton);
    setTabOrder(closeButton, printButton);
    setTabOrder(printButton, copiesSlider);
    partBox->setFocus();

    connect(partBox, &QComboBox::editTextChanged, this, &PartWindow::onPartTextChanged);
    connect(partBox, &QComboBox::activated, this, &PartWindow::onPartChosen);
    WindowDesign::onKeyPress(partBox, [this](int key) { onPartKeyPress(key); });
    connect(copiesSlider, &QScrollBar::valueChanged, this, &PartWindow::onCopiesChanged);
    connect(closeButton, &QPushButton::clicked, this, &PartWindow::onCloseClicked);
    connect(printButton, &QPushButton::clicked, this, &PartWindow::onPrintClicked);
}

void PartWindow::showModal(Printer &printer, Prompts &prompts, QWidget *owner)
{
    auto *window = new PartWindow(printer, prompts, owner);
    window->load();
    WindowDesign::showModal(window);
}

void PartWindow::load()
{
    QStringList entries;
    const bool loaded = loadPartsFile(entries);
    if (!entries.isEmpty()) {
        // Filling the list in one go; the model's reset would otherwise
        // replace the typed text with the first entry.
        const QString text = partBox->currentText();
        const QSignalBlocker quiet(partBox);
        m_parts->setEntries(entries);
        partBox->setEditText(text);
    }
    if (!loaded)
        m_prompts.tell(this, kCannotLoad);
}

// Reads the parts file into `entries`, every line one entry in file order,
// and shows the first part. False when the file is missing or unreadable, is
// empty, or its first line is no part (it lacks a description); `entries`
// then holds what was read up to that point.
bool PartWindow::loadPartsFile(QStringList &entries)
{
    QStringList lines;
    try {
        lines = PartsList::read(PartsList::path());
    } catch (const Failure &) {
        return false; // the window says so in its own words
    }
    if (lines.isEmpty())
        return false;
    const QString &first = lines.first();
    partBox->setEditText(first);
    entries.append(first);
    const std::optional<PartsList::Part> part = PartsList::partOf(first);
    if (!part || !part->description)
        return false;
    m_description = *part->description;
    m_code = part->code;
    showPart();
    entries = lines;
    return true;
}

void PartWindow::ShowPartLine(const QString &line)
{
    const std::optional<PartsList::Part> part = PartsList::partOf(line);
    if (!part)
        return;
    if (part->description)
        m_description = *part->description;
    m_code = part->code;
    showPart();
}

void PartWindow::showPart()
{
    codeLabel->setText(m_code);
    barcodeLabel->setText(LabelTexts::barcodeText(m_code));
    descriptionLabel->setText(m_description);
}

void PartWindow::onPartTextChanged()
{
    ShowPartLine(partBox->currentText());
}

void PartWindow::onPartChosen(int index)
{
    ShowPartLine(partBox->itemText(index));
}

void PartWindow::onPartKeyPress(int keyAscii)
{
    if (keyAscii == kEnter)
        ShowPartLine(partBox->currentText());
}

void PartWindow::onCopiesChanged()
{
    copiesLabel->setText(QString::number(copiesSlider->value()));
}

void PartWindow::onCloseClicked()
{
    close();
}

void PartWindow::onPrintClicked()
{
    try {
        PrintPartLabel(m_printer,
                       {m_code, m_description, labelLogo->picture(), static_cast<qint16>(copiesSlider->value())});
    } catch (const Failure &failure) {
        m_prompts.warn(this, failure.message());
    }
}

void PartWindow::keyPressEvent(QKeyEvent *event)
{
    // Only Close closes the window: Escape does not.
    if (!WindowDesign::handleKeysWithoutDefaultButton(this, event))
        QDialog::keyPressEvent(event);
}
