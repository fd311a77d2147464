#pragma once

#include "Prompts.h"
#include "RecordingSpooler.h"

#include <QApplication>
#include <QQueue>
#include <QStringList>
#include <QWidget>

// Answers the windows' message boxes and input prompts from a script and
// notes everything asked, with what had been printed and where the focus was
// at that moment. Installs itself for its lifetime.
class ScriptedPrompts : public Prompts {
public:
    explicit ScriptedPrompts(const RecordingSpooler *spooler = nullptr) : m_spooler(spooler) { Prompts::install(this); }
    ~ScriptedPrompts() override { Prompts::install(nullptr); }

    struct Asked {
        QString text, title;
        qsizetype jobsBefore = 0; // jobs the spooler had when the question came
        QWidget *focus = nullptr; // the focus widget at that moment
    };

    bool askYesNo(QWidget *, const QString &text, const QString &title) override { note(questions, text, title); return yes; }
    void tell(QWidget *, const QString &text, const QString &title) override { note(told, text, title); }
    void warn(QWidget *, const QString &text) override { warnings.append(text); }
    QString input(QWidget *, const QString &prompt, const QString &title) override
    {
        note(inputs, prompt, title);
        return answers.isEmpty() ? QString() : answers.dequeue(); // an unscripted prompt is a Cancel
    }

    bool yes = true;         // the answer to every Yes/No question
    QQueue<QString> answers; // the answers to the input prompts, in order
    QList<Asked> questions, told, inputs;
    QStringList warnings;

private:
    void note(QList<Asked> &list, const QString &text, const QString &title) const
    {
        list.append({text, title, m_spooler ? m_spooler->jobs.size() : 0, QApplication::focusWidget()});
    }

    const RecordingSpooler *m_spooler;
};
