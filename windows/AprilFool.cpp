#include "AprilFool.h"

#include "WindowDesign.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

AprilFool::AprilFool(QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                          | Qt::MSWindowsFixedSizeDialogHint),
      m_picture(QStringLiteral(":/joke.bmp"))
{
    setWindowTitle(QStringLiteral("Happy April Fools! (Click to Dismiss)"));
    // The picture is 3 rows taller than the window: its bottom edge is cut.
    setFixedSize(WindowDesign::twipsSize(7755, 5040));
}

void AprilFool::showModal(QWidget *owner)
{
    AprilFool window(owner);
    window.exec();
}

void AprilFool::Form_Click()
{
    close();
}

void AprilFool::paintEvent(QPaintEvent *)
{
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), m_picture);
}

// A click is a press and a release inside the window; a release alone (the
// end of the right click that opened the window) does not close it.
void AprilFool::mousePressEvent(QMouseEvent *event)
{
    m_pressed = true;
    event->accept();
}

void AprilFool::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (!m_pressed)
        return;
    m_pressed = false;
    if (rect().contains(event->position().toPoint()))
        Form_Click();
}

void AprilFool::keyPressEvent(QKeyEvent *event)
{
    event->accept(); // no key handling at all: not even Esc closes it
}
