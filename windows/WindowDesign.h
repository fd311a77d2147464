#pragma once

#include "LabelFonts.h"

#include <QFont>
#include <QKeyEvent>
#include <QPushButton>
#include <QRect>
#include <QWidget>

#include <initializer_list>
#include <utility>

// The label windows are laid out in twips, as their designs give them:
// 15 twips to the pixel at 96 dots per inch.
namespace WindowDesign {

inline constexpr int kTwipsPerPixel = 15;
// Character code of Enter as the KeyPress handlers see it.
inline constexpr int kEnter = 13;

inline QRect twips(int left, int top, int width, int height)
{
    return QRect(left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel, height / kTwipsPerPixel);
}

inline QSize twipsSize(int width, int height)
{
    return QSize(width / kTwipsPerPixel, height / kTwipsPerPixel);
}

// Gives each control an object name: the name of its member.
inline void nameControls(std::initializer_list<std::pair<QWidget *, const char *>> controls)
{
    for (const auto &[control, name] : controls)
        control->setObjectName(QString::fromLatin1(name));
}

inline QFont font(const QString &family, double points, bool bold)
{
    LabelFonts::ensureInstalled(); // "Tahoma" may only be available from its files
    QFont f(family);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

// The character a key press types: 13 for Enter (either Enter key), the
// typed character for other character keys, 0 for keys that type nothing.
inline int keyAscii(const QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        return kEnter;
    const QString text = event->text();
    return text.isEmpty() ? 0 : text.at(0).unicode();
}

// The keys of a window without a default or a cancel button: Esc does
// nothing and Enter presses only a button that has the focus. True when the
// key was one of them and has been handled.
inline bool handleKeysWithoutDefaultButton(QWidget *window, QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        event->accept();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (auto *button = qobject_cast<QPushButton *>(window->focusWidget()))
            button->click();
        event->accept();
        return true;
    default:
        return false;
    }
}

// Fixed dialog frame: title bar with a close box, no minimize or maximize.
inline constexpr Qt::WindowFlags kFixedDialog = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
    | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;

} // namespace WindowDesign
