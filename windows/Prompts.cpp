#include "Prompts.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace {

// A message quotes what was typed or what a data file held; Qt would show a
// text that looks like HTML as rich text ("<b>5</b>" bold, an <img> loaded).
void showAsTyped(QMessageBox &box)
{
    box.setTextFormat(Qt::PlainText);
}

} // namespace

bool DialogPrompts::askYesNo(QWidget *parent, const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::Yes);
    showAsTyped(box);
    return box.exec() == QMessageBox::Yes;
}

void DialogPrompts::tell(QWidget *parent, const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::NoIcon, title.isEmpty() ? QApplication::applicationName() : title, text,
                    QMessageBox::Ok, parent);
    showAsTyped(box);
    box.exec();
}

void DialogPrompts::warn(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), text, QMessageBox::Ok, parent);
    showAsTyped(box);
    box.exec();
}

QString DialogPrompts::input(QWidget *parent, const QString &prompt, const QString &title)
{
    bool ok = false;
    const QString text = QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, QString(), &ok);
    return ok ? text : QString();
}
