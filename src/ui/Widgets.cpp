#include "ui/Widgets.h"

#include <QEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QToolButton>

#include <algorithm>

namespace kadenzo {

Shape::Shape(QWidget* parent) : QWidget(parent) {}

void Shape::setBrushColor(QColor c) {
    if (brush_ != c) {
        brush_ = c;
        update();
    }
}

void Shape::setPenWidth(int w) {
    penWidth_ = w;
    update();
}

void Shape::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, penWidth_));
    p.setBrush(brush_);
    qreal inset = penWidth_ / 2.0;
    p.drawEllipse(QRectF(rect()).adjusted(inset, inset, -inset, -inset));
}

UpDown::UpDown(QWidget* parent)
    : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)) {
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    up_->setAutoRepeat(true);
    down_->setAutoRepeat(true);
    connect(up_, &QToolButton::clicked, this, &UpDown::stepUp);
    connect(down_, &QToolButton::clicked, this, &UpDown::stepDown);
}

void UpDown::setRange(int min, int max) {
    min_ = min;
    max_ = max;
    position_ = std::clamp(position_, min_, max_);
}

void UpDown::resizeEvent(QResizeEvent*) {
    int h = height() / 2;
    up_->setGeometry(0, 0, width(), h);
    down_->setGeometry(0, h, width(), height() - h);
}

void UpDown::step(int delta) {
    if (!isEnabled())
        return;
    if (buddy_) {
        bool ok = false;
        int fromText = buddy_->text().trimmed().toInt(&ok);
        if (ok)
            position_ = fromText;
    }
    position_ = std::clamp(position_ + delta, min_, max_);
    if (buddy_)
        buddy_->setText(QString::number(position_));
    emit stepped(position_);
}

WindowTimer::WindowTimer(int intervalMs, QObject* parent, Qt::TimerType type) : QObject(parent) {
    timer_.setInterval(intervalMs);
    timer_.setTimerType(type);
    connect(&timer_, &QTimer::timeout, this, &WindowTimer::timeout);
}

void WindowTimer::setEnabled(bool on) {
    if (on && !timer_.isActive())
        timer_.start();
    else if (!on)
        timer_.stop();
}

void WindowTimer::setInterval(int ms) {
    timer_.setInterval(ms);
}

namespace {
class KeyPressFilter : public QObject {
public:
    KeyPressFilter(QObject* parent, std::function<void(char16_t&)> f)
        : QObject(parent), filter_(std::move(f)) {}

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() != QEvent::KeyPress)
            return false;
        auto* k = static_cast<QKeyEvent*>(e);
        char16_t key = 0;
        switch (k->key()) {
        case Qt::Key_Backspace:
            key = 8;
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            key = 13;
            break;
        case Qt::Key_Escape:
            key = 27;
            break;
        default:
            // Navigation and editing keys are no characters (X11 gives Delete the text 0x7f).
            if (k->text().isEmpty() || k->text()[0].unicode() < 32 || k->text()[0].unicode() == 127)
                return false;
            key = k->text()[0].unicode();
        }
        filter_(key);
        return key == 0;
    }

private:
    std::function<void(char16_t&)> filter_;
};
} // namespace

void installKeyPress(QWidget* w, std::function<void(char16_t& key)> filter) {
    w->installEventFilter(new KeyPressFilter(w, std::move(filter)));
}

} // namespace kadenzo
