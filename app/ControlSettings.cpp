#include "app/ControlSettings.h"

#include "common/QuotedText.h"
#include "display/UpDown.h"

#include <QAbstractSlider>
#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QStringList>

namespace mirel {

namespace {

// Whether `widget` is a control that can be set by its name.
bool settable(const QWidget* widget)
{
    return !widget->objectName().isEmpty() && !widget->objectName().startsWith("qt_") &&
           (qobject_cast<const QAbstractSlider*>(widget) || qobject_cast<const UpDown*>(widget) ||
            qobject_cast<const QCheckBox*>(widget) || qobject_cast<const QRadioButton*>(widget) ||
            qobject_cast<const QComboBox*>(widget));
}

QString valuesOf(const QWidget* widget)
{
    if (const auto* slider = qobject_cast<const QAbstractSlider*>(widget))
        return QStringLiteral("%1..%2").arg(slider->minimum()).arg(slider->maximum());
    if (const auto* upDown = qobject_cast<const UpDown*>(widget))
        return QStringLiteral("%1..%2").arg(upDown->minimum()).arg(upDown->maximum());
    if (qobject_cast<const QRadioButton*>(widget))
        return QStringLiteral("1");
    if (qobject_cast<const QCheckBox*>(widget))
        return QStringLiteral("0 or 1");
    const auto* combo = qobject_cast<const QComboBox*>(widget);
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items.join(QStringLiteral(" | "));
}

QString quoted(const QString& text)
{
    return QString::fromStdString(Quoted(text.toStdString()));
}

bool setPosition(int low, int high, const QString& value, int& position)
{
    bool ok = false;
    position = value.toInt(&ok);
    return ok && position >= low && position <= high;
}

}  // namespace

bool applySetting(QWidget* window, const QString& control, const QString& value, QString& error)
{
    QWidget* widget = window->findChild<QWidget*>(control);
    if (!widget || !settable(widget)) {
        error = QStringLiteral("no control %1\n").arg(quoted(control)) + settableControlsText(window);
        return false;
    }
    int position = 0;
    bool ok = false;
    if (auto* slider = qobject_cast<QAbstractSlider*>(widget)) {
        if ((ok = setPosition(slider->minimum(), slider->maximum(), value, position)))
            slider->setValue(position);
    } else if (auto* upDown = qobject_cast<UpDown*>(widget)) {
        // Stepped there as by the arrows, each step handled as a click.
        if ((ok = setPosition(upDown->minimum(), upDown->maximum(), value, position))) {
            const int steps = upDown->maximum() - upDown->minimum();
            for (int i = 0; i < steps && upDown->position() != position; ++i)
                upDown->position() < position ? upDown->stepUp() : upDown->stepDown();
            ok = upDown->position() == position;
        }
    } else if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
        if ((ok = value == QStringLiteral("1")))
            radio->setChecked(true);
    } else if (auto* box = qobject_cast<QCheckBox*>(widget)) {
        if ((ok = value == QStringLiteral("0") || value == QStringLiteral("1")))
            box->setChecked(value == QStringLiteral("1"));
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        const int item = combo->findText(value, Qt::MatchFixedString | Qt::MatchCaseSensitive);
        if ((ok = item >= 0))
            combo->setCurrentIndex(item);
    }
    if (!ok)
        error = QStringLiteral("%1 takes %2, not %3\n").arg(quoted(control), valuesOf(widget), quoted(value)) +
                settableControlsText(window);
    return ok;
}

QString settableControlsText(QWidget* window)
{
    QString text = QStringLiteral("The controls of \"%1\":\n").arg(window->windowTitle());
    for (const QWidget* widget : window->findChildren<QWidget*>()) {
        if (settable(widget))
            text += QStringLiteral("  %1  %2\n").arg(widget->objectName(), valuesOf(widget));
    }
    return text;
}

}  // namespace mirel
