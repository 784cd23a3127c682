#include "UpDown.h"

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
    : QWidget(parent), m_upButton(MakeArrowButton(this)), m_downButton(MakeArrowButton(this)),
      m_orientation(orientation)
{
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(m_upButton, &QToolButton::clicked, this, [this] { step(Button::Up); });
    connect(m_downButton, &QToolButton::clicked, this, [this] { step(Button::Down); });
    setOrientation(orientation);
}

void UpDown::setPosition(int position)
{
    applyPosition(std::clamp(position, m_minimum, m_maximum));
}

void UpDown::setMinimum(int minimum)
{
    setRange(minimum, std::max(minimum, m_maximum));
}

void UpDown::setMaximum(int maximum)
{
    setRange(std::min(m_minimum, maximum), maximum);
}

void UpDown::setRange(int minimum, int maximum)
{
    m_minimum = minimum;
    m_maximum = std::max(minimum, maximum);
    setPosition(m_position);
}

void UpDown::setIncrement(int increment)
{
    m_increment = std::max(1, increment);
}

void UpDown::setOrientation(Qt::Orientation orientation)
{
    m_orientation = orientation;
    if (orientation == Qt::Vertical) {
        m_upButton->setArrowType(Qt::UpArrow);
        m_downButton->setArrowType(Qt::DownArrow);
    } else {
        // Left arrow steps down, right arrow steps up.
        m_upButton->setArrowType(Qt::RightArrow);
        m_downButton->setArrowType(Qt::LeftArrow);
    }
    resize(sizeHint());
    updateGeometry();
    layoutButtons();
}

void UpDown::setAssociate(QLineEdit* edit)
{
    if (m_associate)
        m_associate->removeEventFilter(this);
    m_associate = edit;
    if (m_associate) {
        m_associate->installEventFilter(this);
        updateAssociate();
    }
}

QLineEdit* UpDown::associate() const
{
    return m_associate;
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
    const long long target = static_cast<long long>(m_position) + (button == Button::Up ? m_increment : -m_increment);
    int next;
    if (target > m_maximum)
        next = m_wrap ? m_minimum : m_maximum;
    else if (target < m_minimum)
        next = m_wrap ? m_maximum : m_minimum;
    else
        next = static_cast<int>(target);
    if (next == m_position)
        return;
    applyPosition(next);
    emit clicked(button);
}

void UpDown::applyPosition(int position)
{
    const bool moved = position != m_position;
    m_position = position;
    updateAssociate();
    if (moved)
        emit positionChanged(m_position);
}

void UpDown::updateAssociate()
{
    if (m_associate)
        m_associate->setText(QString::number(m_position));
}

QSize UpDown::sizeHint() const
{
    if (m_orientation == Qt::Vertical)
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
    if (m_orientation == Qt::Vertical) {
        m_upButton->setGeometry(0, 0, w, h / 2);
        m_downButton->setGeometry(0, h / 2, w, h - h / 2);
    } else {
        m_downButton->setGeometry(0, 0, w / 2, h);
        m_upButton->setGeometry(w / 2, 0, w - w / 2, h);
    }
}

bool UpDown::stepForKey(int key)
{
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Right:
        step(Button::Up);
        return true;
    case Qt::Key_Down:
    case Qt::Key_Left:
        step(Button::Down);
        return true;
    default:
        return false;
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
    if (event->type() == QEvent::KeyPress && watched == m_associate && isEnabled()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down)
            return stepForKey(key);
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace mirel
