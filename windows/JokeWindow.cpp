#include "JokeWindow.h"

#include "WindowDesign.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

JokeWindow::JokeWindow(QWidget *parent)
    : QDialog(parent, WindowDesign::kFixedToolWindow), m_picture(QStringLiteral(":/joke.bmp"))
{
    setWindowTitle(QStringLiteral("Happy April Fools! (Click to Dismiss)"));
    // The picture is 3 rows taller than the window: its bottom edge is cut.
    setFixedSize(WindowDesign::twipsSize(7755, 5040));
}

void JokeWindow::showModal(QWidget *owner)
{
    WindowDesign::showModal(new JokeWindow(owner));
}

void JokeWindow::onClicked()
{
    close();
}

void JokeWindow::paintEvent(QPaintEvent *)
{
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), m_picture);
}

// A click is a press and a release inside the window; a release alone (the
// end of the right click that opened the window) does not close it.
void JokeWindow::mousePressEvent(QMouseEvent *event)
{
    m_pressed = true;
    event->accept();
}

void JokeWindow::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (!m_pressed)
        return;
    m_pressed = false;
    if (rect().contains(event->position().toPoint()))
        onClicked();
}

void JokeWindow::keyPressEvent(QKeyEvent *event)
{
    event->accept(); // no key handling at all: not even Esc closes it
}
