#pragma once

#include <QDialog>
#include <QImage>
#include <QLabel>

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
class Kestrion : public QDialog {
    Q_OBJECT
public:
    explicit Kestrion(QWidget *parent = nullptr);

    // Opens the window afresh over `owner`, loads it, shows it modally and
    // returns when it has been closed; the window is gone by then.
    static void showModal(QWidget *owner);

    // Controls, named as in the window's design.
    PictureBox *Picture1;
    QComboBox *Combo1;
    QPushButton *Command1;
    QPushButton *Command2;
    QLabel *Label1;
    QScrollBar *HScroll1;
    QLabel *lblQty;
    QLabel *Label2;
    BarcodeLabel *Label4;
    QLabel *Label5;
    PictureBox *Picture2;
    QLabel *Label3;

    // Handlers.
    void Form_Load();
    void Combo1_Change();
    void Combo1_Click(int index);
    void Combo1_KeyPress(int keyAscii);
    void HScroll1_Change();
    void Command1_Click();
    void Command2_Click();

    // The one rule behind the chooser: code, barcode preview and description
    // from a part line; a field the line lacks leaves its label as it was.
    void ShowPartLine(const QString &line);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool loadPartsFile(QStringList &entries);
    // The part label, in the order of its layout (PartLabel.cpp).
    void PrintPartLabel();

    PartList *m_parts;
};
