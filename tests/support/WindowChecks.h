#pragma once

#include "PrintJob.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

// Helpers for driving the windows as a user does, for comparing them with
// their designs and for the jobs they print. Designs give places and sizes in twips, 15 to the pixel.
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

// A window on screen with the keyboard focus in it.
[[nodiscard]] inline bool showActive(QWidget *window)
{
    window->show();
    QApplication::setActiveWindow(window);
    return QTest::qWaitForWindowActive(window);
}

// The object name of the window's control that has the focus.
inline QString focusName(QWidget *window)
{
    for (QWidget *w = QApplication::focusWidget(); w && w != window; w = w->parentWidget()) {
        if (w->parentWidget() == window)
            return w->objectName();
    }
    return QStringLiteral("(none)");
}

// The focus at the start and after each of `presses` presses of Tab.
inline QStringList tabOrder(QWidget *window, int presses)
{
    QStringList visited{focusName(window)};
    for (int i = 0; i < presses; ++i) {
        press(Qt::Key_Tab);
        visited << focusName(window);
    }
    return visited;
}

inline QString captionOf(const QWidget *control)
{
    if (auto *label = qobject_cast<const QLabel *>(control))
        return label->text();
    if (auto *button = qobject_cast<const QPushButton *>(control))
        return button->text();
    if (auto *combo = qobject_cast<const QComboBox *>(control))
        return combo->currentText();
    if (auto *box = qobject_cast<const QLineEdit *>(control))
        return box->text();
    return {};
}

// Everything typed in the window: "Name=text" for each text and combo box.
inline QStringList typedTexts(QWidget *window)
{
    QStringList texts;
    for (QWidget *child : window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (qobject_cast<QLineEdit *>(child) || qobject_cast<QComboBox *>(child))
            texts << child->objectName() + QLatin1Char('=') + captionOf(child);
    }
    return texts;
}

// A control as a design row: "Name left,top,width,height Family points [bold]
// [centre|right] [opaque] 'caption'", in twips; "default" for the system's font.
inline QString design(const QWidget *control)
{
    if (!control)
        return QStringLiteral("(missing)");
    const QRect g = control->geometry();
    const QFont f = control->font();
    QString row = QStringLiteral("%1 %2,%3,%4,%5 ").arg(control->objectName()).arg(g.x() * 15).arg(g.y() * 15)
                      .arg(g.width() * 15).arg(g.height() * 15);
    row += f == QApplication::font(control) ? QStringLiteral("default")
                                             : f.family() + QLatin1Char(' ') + QString::number(f.pointSizeF());
    if (f.bold())
        row += QStringLiteral(" bold");
    if (auto *label = qobject_cast<const QLabel *>(control)) {
        if (label->alignment() & Qt::AlignHCenter)
            row += QStringLiteral(" centre");
        else if (label->alignment() & Qt::AlignRight)
            row += QStringLiteral(" right");
    }
    if (control->autoFillBackground())
        row += QStringLiteral(" opaque");
    return row + QStringLiteral(" '") + captionOf(control) + QLatin1Char('\'');
}

// The named controls of `window`, each as a design row.
inline QStringList designOf(QWidget *window, const QStringList &names)
{
    QStringList rows;
    for (const QString &name : names)
        rows << design(window->findChild<QWidget *>(name, Qt::FindDirectChildrenOnly));
    return rows;
}

// The window's frame: "'caption' width x height fixed|sizable" in twips, and its title bar buttons.
inline QString frame(const QWidget *window)
{
    const Qt::WindowFlags flags = window->windowFlags();
    QString row = QStringLiteral("'%1' %2x%3 %4").arg(window->windowTitle()).arg(window->width() * 15)
                      .arg(window->height() * 15)
                      .arg(window->minimumSize() == window->maximumSize() ? "fixed" : "sizable");
    for (const auto &[hint, name] : {std::pair{Qt::WindowMinimizeButtonHint, "min"}, {Qt::WindowMaximizeButtonHint, "max"},
                                     {Qt::WindowContextHelpButtonHint, "help"}, {Qt::WindowCloseButtonHint, "close"}}) {
        if (flags & hint)
            row += QLatin1Char(' ') + QLatin1String(name);
    }
    return row;
}

inline PrintOp textOp(double x, double y, const QString &text, const FontSpec &font)
{
    PrintOp op;
    op.at = {x, y};
    op.text = text;
    op.font = font;
    return op;
}

} // namespace WindowChecks
