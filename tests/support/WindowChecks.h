#pragma once

#include "PrintJob.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

// Helpers for driving the windows as a user does and for writing down what a
// window shows. Places and sizes are in twips, 15 to the pixel, as the designs give them.
namespace WindowChecks {

// Keys go where a user's keys go: to the control that has the focus.
inline void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(static_cast<QWidget *>(nullptr), key, modifiers);
}

inline void type(const QString &text) { QTest::keyClicks(static_cast<QWidget *>(nullptr), text); }

inline void retype(QWidget *control, const QString &text)
{
    control->setFocus();
    press(Qt::Key_A, Qt::ControlModifier);
    press(Qt::Key_Backspace);
    type(text);
}

inline QString nameOf(const QObject *object)
{
    if (!object)
        return QStringLiteral("(none)");
    return object->objectName().isEmpty() ? QString::fromLatin1(object->metaObject()->className()) : object->objectName();
}

// A window on screen, active, with the focus inside it (the window system may
// hand the focus over a little after the window became active).
[[nodiscard]] inline bool showActive(QWidget *window)
{
    window->show();
    QApplication::setActiveWindow(window);
    if (!QTest::qWaitForWindowActive(window))
        return false;
    (void)QTest::qWaitFor([window] { return !window->focusWidget() || window->focusWidget()->hasFocus(); }, 5000);
    return true;
}

// The name of the window's control that has the focus.
inline QString focusName(QWidget *window)
{
    for (QWidget *w = QApplication::focusWidget(); w && w != window; w = w->parentWidget()) {
        if (w->parentWidget() == window)
            return nameOf(w);
    }
    return QStringLiteral("(none)");
}

// The focus at the start, then after each press of Tab until it is back where
// it started (at most 20 presses).
inline QStringList tabOrder(QWidget *window)
{
    const QWidget *first = QApplication::focusWidget();
    QStringList visited{focusName(window)};
    for (int i = 0; i < 20 && (i == 0 || QApplication::focusWidget() != first); ++i) {
        press(Qt::Key_Tab);
        visited << focusName(window);
    }
    return visited;
}

// The text a control shows: a label's, a button's, a text box's, a combo box's,
// a list's selected entry.
inline QString captionOf(const QWidget *control)
{
    if (auto *list = qobject_cast<const QListWidget *>(control))
        return list->selectedItems().isEmpty() ? QString() : list->selectedItems().first()->text();
    return control->property(qobject_cast<const QComboBox *>(control) ? "currentText" : "text").toString();
}

// "'caption'", a combo or list box's list ("'caption' list 'first|second'"),
// "off" when disabled.
inline QString describe(const QWidget *control)
{
    QStringList items;
    if (auto *combo = qobject_cast<const QComboBox *>(control)) {
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
    } else if (auto *list = qobject_cast<const QListWidget *>(control)) {
        for (int i = 0; i < list->count(); ++i)
            items << list->item(i)->text();
    }
    QString caption = QLatin1Char('\'') + captionOf(control) + QLatin1Char('\'');
    if (!items.isEmpty())
        caption += QStringLiteral(" list '") + items.join(QLatin1Char('|')) + QLatin1Char('\'');
    return control->isEnabled() ? caption : caption + QStringLiteral(" off");
}

// Everything typed in the window: "name=text" for each text and combo box.
inline QStringList typedTexts(QWidget *window)
{
    QStringList texts;
    for (QWidget *child : window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (qobject_cast<QLineEdit *>(child) || qobject_cast<QComboBox *>(child))
            texts << nameOf(child) + QLatin1Char('=') + captionOf(child);
    }
    return texts;
}

// The window as a table, one line for the frame ("'caption' width x height
// fixed|sizable" and the title bar's buttons) and one a control in the order
// they were made: "name left,top,width,height family points [bold]
// [centre|right] [opaque] 'caption'", then the list of a combo box and the tip.
inline QString design(const QWidget *window)
{
    QString table = QStringLiteral("'%1' %2x%3 %4").arg(window->windowTitle()).arg(window->width() * 15)
                        .arg(window->height() * 15)
                        .arg(window->minimumSize() == window->maximumSize() ? "fixed" : "sizable");
    for (const auto &[hint, name] : {std::pair{Qt::WindowMinimizeButtonHint, "min"}, {Qt::WindowMaximizeButtonHint, "max"},
                                     {Qt::WindowContextHelpButtonHint, "help"}, {Qt::WindowCloseButtonHint, "close"}}) {
        if (window->windowFlags() & hint)
            table += QLatin1Char(' ') + QLatin1String(name);
    }
    for (const QWidget *control : window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (control->isWindow())
            continue;
        const QRect g = control->geometry();
        const QFont f = control->font();
        table += QStringLiteral("\n%1 %2,%3,%4,%5 ").arg(nameOf(control)).arg(g.x() * 15).arg(g.y() * 15)
                     .arg(g.width() * 15).arg(g.height() * 15);
        table += f == QApplication::font(control) ? QStringLiteral("default")
            : f.family() + QLatin1Char(' ')
                + (f.pointSizeF() > 0 ? QString::number(f.pointSizeF()) : QString::number(f.pixelSize()) + QStringLiteral("px"));
        if (f.bold())
            table += QStringLiteral(" bold");
        if (auto *label = qobject_cast<const QLabel *>(control); label && label->alignment() & Qt::AlignHCenter)
            table += QStringLiteral(" centre");
        else if (label && label->alignment() & Qt::AlignRight)
            table += QStringLiteral(" right");
        if (control->autoFillBackground())
            table += QStringLiteral(" opaque");
        table += QLatin1Char(' ') + describe(control);
        if (!control->toolTip().isEmpty())
            table += QStringLiteral(" tip '") + control->toolTip() + QLatin1Char('\'');
    }
    return table + QLatin1Char('\n');
}

} // namespace WindowChecks
