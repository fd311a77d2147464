#pragma once

#include "LabelFonts.h"
#include "PrintJob.h"

#include <QFont>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QRect>
#include <QWidget>

#include <functional>
#include <initializer_list>
#include <utility>

// The windows are laid out in twips, as their designs give them: 15 twips
// to the pixel at 96 dots per inch (kTwipsPerPixel, the pictures' too).
namespace WindowDesign {

// Character code of Enter as the KeyPress handlers see it.
inline constexpr int kEnter = 13;

inline int pixels(int twips)
{
    return int(twips / kTwipsPerPixel);
}

inline QRect twips(int left, int top, int width, int height)
{
    return QRect(pixels(left), pixels(top), pixels(width), pixels(height));
}

inline QSize twipsSize(int width, int height)
{
    return QSize(pixels(width), pixels(height));
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

// The one way a window hears a field's keys, Enter among them: `handler`
// gets what each key press in `field` types (keyAscii) before the field
// does; the key still reaches the field.
class KeyPressHandler : public QObject {
public:
    KeyPressHandler(QWidget *field, std::function<void(int keyAscii)> handler)
        : QObject(field), m_handler(std::move(handler))
    {
        field->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress)
            m_handler(keyAscii(static_cast<QKeyEvent *>(event)));
        return false;
    }

private:
    std::function<void(int keyAscii)> m_handler;
};

inline void onKeyPress(QWidget *field, std::function<void(int keyAscii)> handler)
{
    new KeyPressHandler(field, std::move(handler)); // belongs to the field
}

// The typing fields of a label window as a chain: Enter in a field moves the
// focus to the next one, Enter in the last one runs `lastEnter` (prints).
inline void chainFields(const QList<QWidget *> &fields, const std::function<void()> &lastEnter)
{
    for (qsizetype i = 0; i < fields.size(); ++i) {
        QWidget *next = i + 1 < fields.size() ? fields[i + 1] : nullptr;
        onKeyPress(fields[i], [next, lastEnter](int key) {
            if (key != kEnter)
                return;
            if (next)
                next->setFocus();
            else
                lastEnter();
        });
    }
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

// The windows' frames, each named once: a title bar with a close box (and
// the window menu where the system has one), no minimize or maximize button.
inline constexpr Qt::WindowFlags kTitleWithCloseBox = Qt::CustomizeWindowHint | Qt::WindowTitleHint
                                                      | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
// Not resizable, on every system.
inline constexpr Qt::WindowFlags kFixedDialog = Qt::Dialog | kTitleWithCloseBox | Qt::MSWindowsFixedSizeDialogHint;
inline constexpr Qt::WindowFlags kFixedMainWindow = Qt::Window | kTitleWithCloseBox | Qt::MSWindowsFixedSizeDialogHint;
// A small title bar.
inline constexpr Qt::WindowFlags kFixedToolWindow = Qt::Tool | kTitleWithCloseBox | Qt::MSWindowsFixedSizeDialogHint;
inline constexpr Qt::WindowFlags kSizableDialog = Qt::Dialog | kTitleWithCloseBox;

// The one way a window opens modally: `window` (made afresh, its owner its
// parent) is shown modally, and when it has closed it is destroyed, unless
// its owner went first and took it along.
template <typename Window> void showModal(Window *window)
{
    const QPointer<Window> open(window);
    window->exec();
    delete open;
}

} // namespace WindowDesign
