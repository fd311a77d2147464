#include "Form1.h"

#include <QPointer>

Form1::Form1(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("TagFoundry"));
    setAttribute(Qt::WA_DeleteOnClose);
}

void Form1::showMainWindow()
{
    static QPointer<Form1> window;
    if (!window)
        window = new Form1;
    window->show();
}
