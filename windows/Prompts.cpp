#include "Prompts.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace {

class DialogPrompts : public Prompts {
public:
    bool askYesNo(QWidget *parent, const QString &text, const QString &title) override
    {
        QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No, parent);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes;
    }

    void tell(QWidget *parent, const QString &text, const QString &title) override
    {
        QMessageBox box(QMessageBox::NoIcon, title.isEmpty() ? QApplication::applicationName() : title, text,
                        QMessageBox::Ok, parent);
        box.exec();
    }

    void warn(QWidget *parent, const QString &text) override
    {
        QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), text, QMessageBox::Ok, parent);
        box.exec();
    }

    QString input(QWidget *parent, const QString &prompt, const QString &title) override
    {
        bool ok = false;
        const QString text = QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, QString(), &ok);
        return ok ? text : QString();
    }
};

Prompts *&installed()
{
    static Prompts *prompts = nullptr;
    return prompts;
}

} // namespace

Prompts &Prompts::current()
{
    static DialogPrompts dialogs;
    return installed() ? *installed() : dialogs;
}

void Prompts::install(Prompts *prompts)
{
    installed() = prompts;
}
