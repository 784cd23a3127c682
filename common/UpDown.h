#pragma once
// An up-down spinner: a small pair of arrow buttons that step an integer position between a
// minimum and a maximum, optionally wrapping around, and may show the position in a buddy edit
// box. Vertical spinners have up and down arrows, horizontal ones left and right arrows (the right
// arrow steps up). clicked() reports each step after the position has changed; the arrow keys step
// too while the spinner or its buddy has the focus. Tag is a free integer that a window uses to
// tell several spinners with one handler apart (1 = channel A, 2 = channel B).

#include <QPointer>
#include <QWidget>

class QLineEdit;
class QToolButton;

namespace mirel {

class UpDown : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int position READ position WRITE setPosition NOTIFY positionChanged)
    Q_PROPERTY(int minimum READ minimum WRITE setMinimum)
    Q_PROPERTY(int maximum READ maximum WRITE setMaximum)
    Q_PROPERTY(int increment READ increment WRITE setIncrement)
    Q_PROPERTY(bool wrap READ wrap WRITE setWrap)
    Q_PROPERTY(Qt::Orientation orientation READ orientation WRITE setOrientation)
    Q_PROPERTY(int Tag READ tag WRITE setTag)

public:
    enum class Button { Up, Down };
    Q_ENUM(Button)

    explicit UpDown(QWidget* parent = nullptr);
    explicit UpDown(Qt::Orientation orientation, QWidget* parent = nullptr);

    // Range 0..100, position 0, increment 1, no wrap, vertical, Tag 0.
    int position() const { return m_position; }
    // Sets the position, held inside the range, without clicked(); the buddy follows.
    void setPosition(int position);

    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    // Setting one end past the other moves the other end along; the position is held inside.
    void setMinimum(int minimum);
    void setMaximum(int maximum);
    void setRange(int minimum, int maximum);

    // Amount of one step (at least 1).
    int increment() const { return m_increment; }
    void setIncrement(int increment);

    // With wrap, a step up past the maximum gives the minimum and a step down past the minimum
    // gives the maximum; without, the position stops at the end and nothing is reported.
    bool wrap() const { return m_wrap; }
    void setWrap(bool wrap) { m_wrap = wrap; }

    Qt::Orientation orientation() const { return m_orientation; }
    void setOrientation(Qt::Orientation orientation);

    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

    // The buddy edit box shows the position as a decimal number from now on; nullptr detaches.
    // Arrow keys pressed in the buddy step the spinner.
    void setAssociate(QLineEdit* edit);
    QLineEdit* associate() const;

    // One step as if the arrow were clicked: moves the position, then emits clicked().
    void stepUp();
    void stepDown();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // After one step of the position by the user (arrow button, arrow key) or stepUp/stepDown.
    void clicked(mirel::UpDown::Button button);
    // After every change of the position, by a step or by setPosition.
    void positionChanged(int position);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void step(Button button);
    bool stepForKey(int key);
    void applyPosition(int position);
    void updateAssociate();
    void layoutButtons();

    QToolButton* m_upButton;
    QToolButton* m_downButton;
    QPointer<QLineEdit> m_associate;
    Qt::Orientation m_orientation;
    int m_position = 0;
    int m_minimum = 0;
    int m_maximum = 100;
    int m_increment = 1;
    bool m_wrap = false;
    int m_tag = 0;
};

}  // namespace mirel
