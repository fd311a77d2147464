#pragma once

#include <QApplication>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>

// Watches for modal windows while a test drives the program: each one that
// opens is noted (class name and caption), handed to `act` (which may click
// or type in it), and closed if it is still open afterwards, so a test never
// hangs on a window it did not expect.
class ModalWatcher : public QObject {
public:
    using Action = std::function<void(QWidget *window, int index)>;

    explicit ModalWatcher(Action act = {}) : m_act(std::move(act))
    {
        connect(&m_timer, &QTimer::timeout, this, &ModalWatcher::poll);
        m_timer.start(10);
    }

    QStringList opened;            // "ClassName: caption" of each window, in order
    QStringList stillOpenAfterAct; // windows `act` left open (closed by the watcher)

private:
    void poll()
    {
        QWidget *window = QApplication::activeModalWidget();
        if (!window || window == m_last)
            return;
        m_last = window;
        const int index = int(opened.size());
        opened.append(QString::fromLatin1(window->metaObject()->className()) + QStringLiteral(": ")
                      + window->windowTitle());
        QPointer<QWidget> guard(window);
        if (m_act)
            m_act(window, index);
        if (guard && guard->isVisible()) {
            stillOpenAfterAct.append(opened.last());
            guard->close();
        }
    }

    Action m_act;
    QTimer m_timer;
    QPointer<QWidget> m_last;
};
