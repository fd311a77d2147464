#pragma once

#include "Prompts.h"
#include "RecordingSpooler.h"
#include "SavedPrinter.h"
#include "WindowChecks.h"

#include <QKeySequence>

#include <functional>
#include <QQueue>

// Answers the windows' message boxes and input prompts from a script and
// notes each one in `log` with the focus at that moment: "ask 'Clear?'
// 'Clear Fields?' focus customerBox". Installs itself for its lifetime.
class ScriptedPrompts : public Prompts {
public:
    explicit ScriptedPrompts(RecordingSpooler *spooler) : m_spooler(spooler) { Prompts::install(this); }
    ~ScriptedPrompts() override { Prompts::install(nullptr); }

    bool askYesNo(QWidget *, const QString &text, const QString &title) override { note("ask", text, title); return yes; }
    void tell(QWidget *, const QString &text, const QString &title) override { note("tell", text, title); }
    void warn(QWidget *, const QString &text) override { note("warn", text, {}); }
    QString input(QWidget *, const QString &prompt, const QString &title) override
    {
        note("input", prompt, title);
        return answers.isEmpty() ? QString() : answers.dequeue(); // an unscripted prompt is a Cancel
    }

    bool yes = true;         // the answer to every Yes/No question
    QQueue<QString> answers; // the answers to the input prompts, in order
    QStringList log;
    QString out; // the transcript: every prompt, and in play() every action and job, in order

    // Plays a user's actions on `window` and writes down, for a golden file,
    // each action ("> action") and what came of it: the prompts, the jobs one
    // line an item, the focus when it moved. At the end: whether the window is
    // still open and what is typed in it. Controls by object name, caption or tip.
    //   type TEXT | key KEY (as QKeySequence spells it: Return, Ctrl+A) |
    //   click CONTROL | focus CONTROL | set CONTROL TEXT (retyped) |
    //   show CONTROL... (their texts, a combo box's list too) | answer TEXT |
    //   no (every question answered No) | refuse [REASON] (none: accept again) |
    //   saved printer (what another window does before it prints) |
    //   load ARGUMENT (handed to `load`) | # a comment, written down as it is
    QString play(QWidget *window, const QStringList &actions, const std::function<void(const QString &)> &load = {})
    {
        const QWidget *focus = QApplication::focusWidget();
        out += QStringLiteral("focus ") + WindowChecks::nameOf(focus) + QLatin1Char('\n');
        for (const QString &action : actions) {
            const QString verb = action.section(QLatin1Char(' '), 0, 0), rest = action.mid(verb.size() + 1);
            out += (action.startsWith(QLatin1Char('#')) ? QString() : QStringLiteral("> ")) + action + QLatin1Char('\n');
            if (action.startsWith(QLatin1Char('#'))) {
                continue;
            } else if (verb == QLatin1String("type")) {
                WindowChecks::type(rest);
            } else if (verb == QLatin1String("key")) {
                const QKeyCombination key = QKeySequence(rest)[0];
                WindowChecks::press(key.key(), key.keyboardModifiers());
            } else if (verb == QLatin1String("click")) {
                QTest::mouseClick(control(window, rest), Qt::LeftButton);
            } else if (verb == QLatin1String("focus")) {
                control(window, rest)->setFocus();
            } else if (verb == QLatin1String("set")) {
                const QString name = rest.section(QLatin1Char(' '), 0, 0);
                WindowChecks::retype(control(window, name), rest.mid(name.size() + 1));
            } else if (verb == QLatin1String("show")) {
                for (const QString &name : rest.split(QLatin1Char(' ')))
                    out += name + QLatin1Char(' ') + WindowChecks::describe(control(window, name)) + QLatin1Char('\n');
            } else if (verb == QLatin1String("answer")) {
                answers << rest;
            } else if (verb == QLatin1String("no")) {
                yes = false;
            } else if (verb == QLatin1String("refuse")) {
                m_spooler->refuseJobs(rest, rest.isEmpty() ? -1 : 0);
            } else if (verb == QLatin1String("load") && load) {
                load(rest);
            } else if (action == QLatin1String("saved printer")) {
                SelectSavedPrinter();
            } else {
                qFatal("unknown action '%s'", qPrintable(action));
            }
            flushJobs();
            if (QApplication::focusWidget() != focus)
                out += QStringLiteral("focus ") + WindowChecks::nameOf(focus = QApplication::focusWidget()) + QLatin1Char('\n');
        }
        out += window->isVisible() ? QStringLiteral("open\n") : QStringLiteral("closed\n");
        return out + WindowChecks::typedTexts(window).join(QLatin1Char('\n')) + QLatin1Char('\n');
    }

private:
    // The jobs printed since the last call, into the transcript.
    void flushJobs()
    {
        if (!m_spooler) // answering prompts only, as the fuzz targets do
            return;
        const QString jobs = m_spooler->jobsAsText();
        out += jobs.mid(m_printed);
        m_printed = jobs.size();
    }

    void note(const char *kind, const QString &text, const QString &title)
    {
        flushJobs();
        log << QStringLiteral("%1 '%2' '%3' focus %4").arg(QLatin1String(kind), text, title,
                                                            WindowChecks::nameOf(QApplication::focusWidget()));
        out += log.last() + QLatin1Char('\n');
    }

    static QWidget *control(QWidget *window, const QString &name)
    {
        for (QWidget *w : window->findChildren<QWidget *>()) {
            auto *button = qobject_cast<QAbstractButton *>(w);
            if (w->objectName() == name || (button && (button->text() == name || button->toolTip() == name)))
                return w;
        }
        qFatal("no control '%s'", qPrintable(name));
    }

    RecordingSpooler *m_spooler;
    qsizetype m_printed = 0;
};
