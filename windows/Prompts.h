#pragma once

#include <QString>

class QWidget;

// The message boxes and the input prompt the windows show, handed to every
// window that asks or tells: the program's are Qt's dialogs (DialogPrompts),
// a test's answer from its script.
class Prompts {
public:
    virtual ~Prompts() = default;

    // Yes/No box without an icon, Yes the default; true for Yes.
    virtual bool askYesNo(QWidget *parent, const QString &text, const QString &title) = 0;
    // OK-only box. An empty title leaves the platform's own (the program's name).
    virtual void tell(QWidget *parent, const QString &text, const QString &title = {}) = 0;
    // A failure the user must see (a printer that refused a label, a copies
    // text that is not a number): an OK box with a warning icon.
    virtual void warn(QWidget *parent, const QString &text) = 0;
    // Input prompt with an empty field; Cancel gives the empty text.
    virtual QString input(QWidget *parent, const QString &prompt, const QString &title) = 0;
};

// The prompts as Qt's message boxes and input dialog.
class DialogPrompts : public Prompts {
public:
    bool askYesNo(QWidget *parent, const QString &text, const QString &title) override;
    void tell(QWidget *parent, const QString &text, const QString &title) override;
    void warn(QWidget *parent, const QString &text) override;
    QString input(QWidget *parent, const QString &prompt, const QString &title) override;
};
