#pragma once

#include "PrintStamp.h"
#include "Printer.h"
#include "Prompts.h"
#include "RecordingSpooler.h"
#include "SavedPrinter.h"
#include "WindowChecks.h"

#include <QKeySequence>
#include <QPointer>
#include <QQueue>
#include <QTimer>

#include <functional>

// Answers the windows' message boxes and input prompts as a transcript tells
// it to, and plays a user's actions (play()) on windows that print on
// `printer`, whose jobs `spooler` keeps. Without them it only answers.
class ScriptedPrompts : public Prompts {
public:
    explicit ScriptedPrompts(RecordingSpooler *spooler = nullptr, Printer *printer = nullptr)
        : m_spooler(spooler), m_printer(printer)
    {
    }

    bool askYesNo(QWidget *, const QString &text, const QString &title) override
    {
        note("ask", text, title);
        return m_yes;
    }
    void tell(QWidget *, const QString &text, const QString &title) override { note("tell", text, title); }
    void warn(QWidget *, const QString &text) override { note("warn", text, {}); }
    QString input(QWidget *, const QString &prompt, const QString &title) override
    {
        note("input", prompt, title);
        return m_answers.isEmpty() ? QString() : m_answers.dequeue(); // an unscripted prompt is a Cancel
    }

    // Plays a user's actions and writes down, for a golden file, each action
    // and what came of it: the prompts (with the focus at that moment), the
    // jobs one line an item, the focus when it moved, the windows that opened.
    // Each line is "> ACTION"; the lines ">> ACTION" after it are played in
    // the modal windows that open during it (">>> " in one opened from there):
    // in the first until it closes, what is left in the next. A window the
    // actions leave open is closed. At the end of each window: whether it is
    // still open and what is typed in it; of the whole: the saved and the
    // current printer. Controls by object name, caption or tip; none: the
    // window itself.
    //   open (the window, by `open`) | design (the window as a table, then the
    //   order Tab takes) | type TEXT | key KEY (as QKeySequence spells it:
    //   Return, Ctrl+A) | click [CONTROL] | right-click [CONTROL] |
    //   pick LIST ENTRY (clicked in the list) | release (a right button's
    //   release alone) | close (the close box) | wait MS | focus CONTROL |
    //   set CONTROL TEXT (retyped) | show CONTROL... (their texts, a list's
    //   entries too, "off" when disabled) | answer TEXT (to the next input
    //   prompt) | no (every question answered No) | refuse [REASON] (none:
    //   accept again) | save PRINTER (the saved printer's setting) |
    //   select saved printer (what another window does before it prints) |
    //   today DATE (as ISO 8601) | load ARGUMENT (handed to `load`) |
    //   # a comment, kept
    QString play(const std::function<QWidget *()> &open, const QStringList &lines,
                 const std::function<void(const QString &)> &load = {})
    {
        m_open = open;
        m_load = load;
        QWidget *window = nullptr;
        run(window, lines, 1);
        return m_out + QStringLiteral("saved '%1', current '%2'\n").arg(SavedPrinter::read(), m_printer->deviceName());
    }

private:
    // Plays the actions of `lines` at `depth` on `window` until they run out
    // or the window closes; returns how many lines it took.
    qsizetype run(QWidget *&window, const QStringList &lines, int depth)
    {
        const QString inner(depth + 1, QLatin1Char('>'));
        const QWidget *focus = QApplication::focusWidget();
        if (window)
            m_out += QStringLiteral("focus ") + WindowChecks::nameOf(focus) + QLatin1Char('\n');
        qsizetype next = 0;
        while (next < lines.size() && (depth == 1 || window->isVisible())) {
            const QString &line = lines[next++];
            qsizetype end = next;
            while (end < lines.size() && lines[end].startsWith(inner))
                ++end;
            m_out += line + QLatin1Char('\n');
            if (!line.startsWith(QLatin1Char('#')))
                actWatching(window, line.mid(depth + 1), lines.mid(next, end - next), depth);
            next = end;
            flushJobs();
            if (QApplication::focusWidget() != focus)
                m_out += QStringLiteral("focus ") + WindowChecks::nameOf(focus = QApplication::focusWidget())
                         + QLatin1Char('\n');
        }
        if (window) {
            m_out += window->isVisible() ? QStringLiteral("open\n") : QStringLiteral("closed\n");
            m_out += WindowChecks::typedTexts(window).join(QLatin1Char('\n')) + QLatin1Char('\n');
        }
        return next;
    }

    // Plays `action`; each modal window that opens meanwhile is written down
    // (with its owner's state) and given the actions `inner` has left.
    void actWatching(QWidget *&window, const QString &action, const QStringList &inner, int depth)
    {
        QList<QPointer<QWidget>> opened;
        qsizetype used = 0;
        bool busy = false;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, &watch, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            if (busy || !modal || modal == window || opened.contains(modal))
                return;
            busy = true;
            opened << modal;
            const QWidget *owner = modal->parentWidget();
            m_out += QStringLiteral("opened %1 '%2'").arg(modal->metaObject()->className(), modal->windowTitle());
            m_out += owner ? QStringLiteral(" over a %1 window\n").arg(owner->isVisible() ? "shown" : "hidden")
                           : QStringLiteral("\n");
            if (!WindowChecks::showActive(modal))
                m_out += QStringLiteral("not active\n");
            QTest::qWait(10); // what the window does as it first shows, such as laying out a list
            QWidget *played = modal;
            used += run(played, inner.mid(used), depth + 1);
            if (played->isVisible())
                played->close();
            busy = false;
        });
        watch.start(0);
        act(window, action);
        watch.stop();
        for (const QPointer<QWidget> &modal : opened) {
            if (modal)
                m_out += QStringLiteral("%1 still exists\n").arg(modal->metaObject()->className());
        }
    }

    void act(QWidget *&window, const QString &action)
    {
        const QString verb = action.section(QLatin1Char(' '), 0, 0), rest = action.mid(verb.size() + 1);
        if (action == QLatin1String("open")) {
            window = m_open();
            if (!window)
                qFatal("no window to open");
            if (!WindowChecks::showActive(window))
                m_out += QStringLiteral("not active\n");
        } else if (action == QLatin1String("design")) {
            m_out += WindowChecks::design(window) + QStringLiteral("tab ")
                     + WindowChecks::tabOrder(window).join(QLatin1Char(' ')) + QLatin1Char('\n');
        } else if (verb == QLatin1String("type")) {
            WindowChecks::type(rest);
        } else if (verb == QLatin1String("key")) {
            const QKeyCombination key = QKeySequence(rest)[0];
            WindowChecks::press(key.key(), key.keyboardModifiers());
        } else if (verb == QLatin1String("click") || verb == QLatin1String("right-click")) {
            QTest::mouseClick(control(window, rest), verb == QLatin1String("click") ? Qt::LeftButton : Qt::RightButton);
        } else if (verb == QLatin1String("pick")) {
            auto *list = qobject_cast<QListWidget *>(control(window, rest.section(QLatin1Char(' '), 0, 0)));
            const QRect item = list->visualItemRect(
                list->findItems(rest.section(QLatin1Char(' '), 1), Qt::MatchExactly).value(0));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
        } else if (action == QLatin1String("release")) {
            QTest::mouseRelease(window, Qt::RightButton);
        } else if (action == QLatin1String("close")) {
            window->close();
        } else if (verb == QLatin1String("wait")) {
            QTest::qWait(rest.toInt());
        } else if (verb == QLatin1String("focus")) {
            control(window, rest)->setFocus();
        } else if (verb == QLatin1String("set")) {
            const QString name = rest.section(QLatin1Char(' '), 0, 0);
            WindowChecks::retype(control(window, name), rest.mid(name.size() + 1));
        } else if (verb == QLatin1String("show")) {
            for (const QString &name : rest.split(QLatin1Char(' ')))
                m_out += name + QLatin1Char(' ') + WindowChecks::describe(control(window, name)) + QLatin1Char('\n');
        } else if (verb == QLatin1String("answer")) {
            m_answers << rest;
        } else if (verb == QLatin1String("no")) {
            m_yes = false;
        } else if (verb == QLatin1String("refuse")) {
            m_spooler->refuseJobs(rest, rest.isEmpty() ? -1 : 0);
        } else if (verb == QLatin1String("save")) {
            SavedPrinter::write(rest);
        } else if (action == QLatin1String("select saved printer")) {
            SelectSavedPrinter(*m_printer);
        } else if (verb == QLatin1String("today")) {
            m_printer->clock().standAt(QDateTime(QDate::fromString(rest, Qt::ISODate), QTime(8, 30)));
        } else if (verb == QLatin1String("load") && m_load) {
            m_load(rest);
        } else {
            qFatal("unknown action '%s'", qPrintable(action));
        }
    }

    // The jobs printed since the last call, into the transcript.
    void flushJobs()
    {
        if (!m_spooler) // answering prompts only, as the fuzz targets do
            return;
        const QString jobs = m_spooler->jobsAsText();
        m_out += jobs.mid(m_printed);
        m_printed = jobs.size();
    }

    void note(const char *kind, const QString &text, const QString &title)
    {
        flushJobs();
        m_out += QStringLiteral("%1 '%2' '%3' focus %4\n")
                     .arg(QLatin1String(kind), text, title, WindowChecks::nameOf(QApplication::focusWidget()));
    }

    static QWidget *control(QWidget *window, const QString &name)
    {
        if (name.isEmpty())
            return window;
        for (QWidget *w : window->findChildren<QWidget *>()) {
            auto *button = qobject_cast<QAbstractButton *>(w);
            if (w->objectName() == name || (button && (button->text() == name || button->toolTip() == name)))
                return w;
        }
        qFatal("no control '%s'", qPrintable(name));
    }

    RecordingSpooler *m_spooler;
    Printer *m_printer;
    bool m_yes = true;         // the answer to every Yes/No question
    QQueue<QString> m_answers; // the answers to the input prompts, in order
    QString m_out;             // the transcript
    qsizetype m_printed = 0;
    std::function<QWidget *()> m_open;
    std::function<void(const QString &)> m_load;
};
