#pragma once

#include "WindowDesign.h"

#include <QKeyEvent>
#include <QObject>
#include <QWidget>

#include <functional>
#include <utility>

// The typing fields of a label window as a chain: Enter in a field moves the
// focus to the next one, Enter in the last one prints. The key still reaches
// the field. The chain belongs to the window.
class FieldChain : public QObject {
public:
    FieldChain(QWidget *window, QList<QWidget *> fields, std::function<void()> lastEnter)
        : QObject(window), m_fields(std::move(fields)), m_lastEnter(std::move(lastEnter))
    {
        for (QWidget *field : std::as_const(m_fields))
            field->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress
            && WindowDesign::keyAscii(static_cast<QKeyEvent *>(event)) == WindowDesign::kEnter) {
            const qsizetype i = m_fields.indexOf(static_cast<QWidget *>(watched));
            if (i >= 0 && i + 1 < m_fields.size())
                m_fields[i + 1]->setFocus();
            else if (i >= 0)
                m_lastEnter();
        }
        return false;
    }

private:
    QList<QWidget *> m_fields;
    std::function<void()> m_lastEnter;
};
