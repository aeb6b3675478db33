#pragma once
// Small widgets the windows are built from: a filled circle lamp, spin buttons bound to
// an edit field, a window timer with on/off semantics, and a per-key filter for edits.
#include <QColor>
#include <QLineEdit>
#include <QTimer>
#include <QWidget>

#include <functional>

class QToolButton;

namespace kadenzo {

// Puts a control at its place in its window's client area and returns it.
template <class W> W* place(W* w, int left, int top, int width, int height) {
    w->setGeometry(left, top, width, height);
    return w;
}

// A circle with a pen outline and a solid fill (the output and current-limit lamps).
class Shape : public QWidget {
    Q_OBJECT
public:
    explicit Shape(QWidget* parent = nullptr);
    void setBrushColor(QColor c);
    QColor brushColor() const { return brush_; }
    void setPenWidth(int w);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QColor brush_ = Qt::black;
    int penWidth_ = 1;
};

// Spin buttons bound to an edit field (the buddy). A click reads the buddy's number
// (its position when the text holds none), steps it within [min, max] without wrapping
// and writes it back as plain digits, which fires the buddy's textChanged.
class UpDown : public QWidget {
    Q_OBJECT
public:
    explicit UpDown(QWidget* parent = nullptr);
    void setBuddy(QLineEdit* buddy) { buddy_ = buddy; }
    QLineEdit* buddy() const { return buddy_; }
    void setRange(int min, int max);
    int minimum() const { return min_; }
    int maximum() const { return max_; }
    void setPosition(int p) { position_ = p; }
    int position() const { return position_; }
    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

    void stepUp() { step(+1); }
    void stepDown() { step(-1); }

signals:
    void stepped(int position);

protected:
    void resizeEvent(QResizeEvent*) override;

private:
    void step(int delta);
    QLineEdit* buddy_ = nullptr;
    QToolButton* up_;
    QToolButton* down_;
    int min_ = 0, max_ = 100, position_ = 0;
};

// A window timer. Enabling one that runs leaves it running (its next tick does not move);
// disabling stops it; changing the interval of a running timer starts it anew.
class WindowTimer : public QObject {
    Q_OBJECT
public:
    explicit WindowTimer(int intervalMs, QObject* parent = nullptr,
                         Qt::TimerType type = Qt::CoarseTimer);
    void setEnabled(bool on);
    bool enabled() const { return timer_.isActive(); }
    void setInterval(int ms);
    int interval() const { return timer_.interval(); }
    QTimer& timer() { return timer_; }

signals:
    void timeout();

private:
    QTimer timer_;
};

// Calls `filter` for every character typed into `w` (Backspace 8, Enter 13, Escape 27,
// otherwise the character's code). The filter may set the key to 0 to discard it.
void installKeyPress(QWidget* w, std::function<void(char16_t& key)> filter);

} // namespace kadenzo
