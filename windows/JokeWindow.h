#pragma once

#include <QDialog>
#include <QImage>

// The 1 April joke window: the joke picture under a caption that says how
// to get rid of it. A click on the picture closes it; keys do nothing.
class JokeWindow : public QDialog {
    Q_OBJECT
public:
    explicit JokeWindow(QWidget *parent = nullptr);

    // Opens the window afresh over `owner`, shows it modally and returns when
    // it has been closed; the window is gone by then.
    static void showModal(QWidget *owner);

    // The picture drawn at the top-left at its natural size; a null image
    // (nothing drawn) when the program was built without it.
    const QImage &picture() const { return m_picture; }

    // Handlers.
    void onClicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QImage m_picture;
    bool m_pressed = false;
};
