#pragma once

#include <QDialog>
#include <QImage>
#include <QLabel>

class Printer;
class Prompts;

class QComboBox;
class QPushButton;
class QScrollBar;
class PartList;

// A borderless picture box: draws its picture at its top-left corner at the
// picture's natural size and keeps it for reading back.
class PictureBox : public QWidget {
public:
    using QWidget::QWidget;
    void setPicture(const QImage &picture);
    const QImage &picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_picture;
};

// The barcode preview: its caption is barcode text ("*CODE*"), drawn as the
// printer device draws the font "Free 3 of 9", centred as a caption would be.
class BarcodeLabel : public QLabel {
public:
    using QLabel::QLabel;
    static constexpr double kPoints = 36;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// The part window: looks parts up in the parts file (code and description
// separated by a comma, one part per line), previews the part's code, barcode
// and description, and prints the part label in the slider's number of copies.
class PartWindow : public QDialog {
    Q_OBJECT
public:
    PartWindow(Printer &printer, Prompts &prompts, QWidget *parent = nullptr);

    // Opens the window afresh over `owner`, loads it, shows it modally and
    // returns when it has been closed; the window is gone by then.
    static void showModal(Printer &printer, Prompts &prompts, QWidget *owner);

    // Controls; each one's object name is its member name.
    PictureBox *logoPicture;
    QComboBox *partBox;
    QPushButton *closeButton;
    QPushButton *printButton;
    QLabel *companyLabel;
    QScrollBar *copiesSlider;
    QLabel *copiesLabel;
    QLabel *codeLabel;
    BarcodeLabel *barcodeLabel;
    QLabel *descriptionLabel;
    PictureBox *labelLogo;
    QLabel *productLabel;

    // Handlers.
    void load();
    void onPartTextChanged();
    void onPartChosen(int index);
    void onPartKeyPress(int keyAscii);
    void onCopiesChanged();
    void onCloseClicked();
    void onPrintClicked();

    // The one rule behind the chooser: code, barcode preview and description
    // from a part line; a field the line lacks leaves its label as it was.
    void ShowPartLine(const QString &line);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    Printer &m_printer;
    Prompts &m_prompts;

    bool loadPartsFile(QStringList &entries);
    // Shows the part on show: code, barcode preview and description.
    void showPart();

    PartList *m_parts;
    // The part on show, as the label prints it.
    QString m_code = QStringLiteral("VHQPART");
    QString m_description = QStringLiteral("5Qty M8 Wing Nuts");
};
