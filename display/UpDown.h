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
    int position() const { return position_; }
    // Sets the position, held inside the range, without clicked(); the buddy follows.
    void setPosition(int position);

    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    // Setting one end past the other moves the other end along; the position is held inside.
    void setMinimum(int minimum);
    void setMaximum(int maximum);
    void setRange(int minimum, int maximum);

    // Amount of one step (at least 1).
    int increment() const { return increment_; }
    void setIncrement(int increment);

    // With wrap, a step up past the maximum gives the minimum and a step down past the minimum
    // gives the maximum; without, the position stops at the end and nothing is reported.
    bool wrap() const { return wrap_; }
    void setWrap(bool wrap) { wrap_ = wrap; }

    Qt::Orientation orientation() const { return orientation_; }
    void setOrientation(Qt::Orientation orientation);

    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }

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

    QToolButton* upButton_;
    QToolButton* downButton_;
    QPointer<QLineEdit> associate_;
    Qt::Orientation orientation_;
    int position_ = 0;
    int minimum_ = 0;
    int maximum_ = 100;
    int increment_ = 1;
    bool wrap_ = false;
    int tag_ = 0;
};

}  // namespace mirel
