#include "display/UpDown.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <algorithm>

namespace mirel {

namespace {

// Each arrow button is 16 pixels across the spinner and 12 (vertical) or 16 (horizontal) along it.
constexpr int kButtonBreadth = 16;
constexpr int kVerticalButtonLength = 12;
constexpr int kHorizontalButtonLength = 16;

QToolButton* MakeArrowButton(QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRepeat(true);  // holding an arrow down keeps stepping
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    return button;
}

}  // namespace

UpDown::UpDown(QWidget* parent) : UpDown(Qt::Vertical, parent) {}

UpDown::UpDown(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent), upButton_(MakeArrowButton(this)), downButton_(MakeArrowButton(this)), orientation_(orientation)
{
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(upButton_, &QToolButton::clicked, this, [this] { step(Button::Up); });
    connect(downButton_, &QToolButton::clicked, this, [this] { step(Button::Down); });
    setOrientation(orientation);
}

void UpDown::setPosition(int position)
{
    applyPosition(std::clamp(position, minimum_, maximum_));
}

void UpDown::setMinimum(int minimum)
{
    setRange(minimum, std::max(minimum, maximum_));
}

void UpDown::setMaximum(int maximum)
{
    setRange(std::min(minimum_, maximum), maximum);
}

void UpDown::setRange(int minimum, int maximum)
{
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
    setPosition(position_);
}

void UpDown::setIncrement(int increment)
{
    increment_ = std::max(1, increment);
}

void UpDown::setOrientation(Qt::Orientation orientation)
{
    orientation_ = orientation;
    if (orientation == Qt::Vertical) {
        upButton_->setArrowType(Qt::UpArrow);
        downButton_->setArrowType(Qt::DownArrow);
    } else {
        // Left arrow steps down, right arrow steps up.
        upButton_->setArrowType(Qt::RightArrow);
        downButton_->setArrowType(Qt::LeftArrow);
    }
    resize(sizeHint());
    updateGeometry();
    layoutButtons();
}

void UpDown::setAssociate(QLineEdit* edit)
{
    if (associate_)
        associate_->removeEventFilter(this);
    associate_ = edit;
    if (associate_) {
        associate_->installEventFilter(this);
        updateAssociate();
    }
}

QLineEdit* UpDown::associate() const
{
    return associate_;
}

void UpDown::stepUp()
{
    step(Button::Up);
}

void UpDown::stepDown()
{
    step(Button::Down);
}

void UpDown::step(Button button)
{
    // Computed in 64 bits so that a step near the ends of int cannot overflow.
    const long long target = static_cast<long long>(position_) + (button == Button::Up ? increment_ : -increment_);
    int next;
    if (target > maximum_)
        next = wrap_ ? minimum_ : maximum_;
    else if (target < minimum_)
        next = wrap_ ? maximum_ : minimum_;
    else
        next = static_cast<int>(target);
    if (next == position_)
        return;
    applyPosition(next);
    emit clicked(button);
}

void UpDown::applyPosition(int position)
{
    const bool moved = position != position_;
    position_ = position;
    updateAssociate();
    if (moved)
        emit positionChanged(position_);
}

void UpDown::updateAssociate()
{
    if (associate_)
        associate_->setText(QString::number(position_));
}

QSize UpDown::sizeHint() const
{
    if (orientation_ == Qt::Vertical)
        return QSize(kButtonBreadth, 2 * kVerticalButtonLength);
    return QSize(2 * kHorizontalButtonLength, kButtonBreadth);
}

QSize UpDown::minimumSizeHint() const
{
    return sizeHint();
}

void UpDown::resizeEvent(QResizeEvent* /*event*/)
{
    layoutButtons();
}

void UpDown::layoutButtons()
{
    const int w = width();
    const int h = height();
    if (orientation_ == Qt::Vertical) {
        upButton_->setGeometry(0, 0, w, h / 2);
        downButton_->setGeometry(0, h / 2, w, h - h / 2);
    } else {
        downButton_->setGeometry(0, 0, w / 2, h);
        upButton_->setGeometry(w / 2, 0, w - w / 2, h);
    }
}

bool UpDown::stepForKey(int key)
{
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Right: step(Button::Up); return true;
    case Qt::Key_Down:
    case Qt::Key_Left: step(Button::Down); return true;
    default: return false;
    }
}

void UpDown::keyPressEvent(QKeyEvent* event)
{
    if (isEnabled() && stepForKey(event->key()))
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

bool UpDown::eventFilter(QObject* watched, QEvent* event)
{
    // In the buddy only the up and down keys step; left and right still move its text cursor.
    // The type is tested first: at the end the buddy may be half destroyed when events still come.
    if (event->type() == QEvent::KeyPress && watched == associate_ && isEnabled()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down)
            return stepForKey(key);
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace mirel
