#include "app/ControlSettings.h"

#include "app/ControlValues.h"
#include "common/QuotedText.h"
#include "density/DensityControlTable.h"
#include "density/TFormPV.h"
#include "display/UpDown.h"
#include "oscilloscope/OscControlTable.h"
#include "oscilloscope/TFormOS.h"
#include "spectrum/SpectrumControlTable.h"
#include "spectrum/TFormSP.h"

#include <QAbstractSlider>
#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QStringList>

namespace mirel {

namespace {

// A box a number is typed into, which its window marks as one that tells why it refused a value (its
// "fault" property, empty when the value was taken).
bool settableEdit(const QWidget* widget)
{
    const auto* edit = qobject_cast<const QLineEdit*>(widget);
    return edit && !edit->isReadOnly() && widget->property("numberField").toBool();
}

// Whether `widget` is a control that can be set by its name.
bool settable(const QWidget* widget)
{
    return !widget->objectName().isEmpty() && !widget->objectName().startsWith("qt_") &&
           (qobject_cast<const QAbstractSlider*>(widget) || qobject_cast<const UpDown*>(widget) ||
            qobject_cast<const QCheckBox*>(widget) || qobject_cast<const QRadioButton*>(widget) ||
            qobject_cast<const QComboBox*>(widget) || settableEdit(widget));
}

// What the positions of the window's controls mean now: at the size of its display, the rate of
// its capture, the spectrum kind it shows.
ControlTable meaningsOf(const QWidget* window)
{
    if (const auto* os = qobject_cast<const TFormOS*>(window))
        return osc::ControlMeanings(os->pbOS->width(), os->pbOS->height());
    if (const auto* sp = qobject_cast<const TFormSP*>(window))
        return spectrum::ControlMeanings(sp->SampleRate > 0 ? sp->SampleRate : 48000, sp->amplitudeMode());
    if (qobject_cast<const TFormPV*>(window))
        return pv::ControlMeanings();
    return {};
}

const ControlMeaning* meaningOf(const ControlTable& table, const QString& name)
{
    for (const ControlMeaning& meaning : table)
        if (name == QString::fromStdString(meaning.Name))
            return &meaning;
    return nullptr;
}

// The positions of a track bar or up-down control; false for other controls.
bool positionRange(const QWidget* widget, int& low, int& high)
{
    if (const auto* slider = qobject_cast<const QAbstractSlider*>(widget)) {
        low = slider->minimum();
        high = slider->maximum();
        return true;
    }
    if (const auto* upDown = qobject_cast<const UpDown*>(widget)) {
        low = upDown->minimum();
        high = upDown->maximum();
        return true;
    }
    return false;
}

std::string takes(const QWidget* widget)
{
    int low = 0;
    int high = 0;
    if (positionRange(widget, low, high))
        return std::to_string(low) + ".." + std::to_string(high);
    if (qobject_cast<const QRadioButton*>(widget))
        return "1";
    if (qobject_cast<const QCheckBox*>(widget))
        return "0 или 1";
    if (qobject_cast<const QLineEdit*>(widget))
        return "число";
    const auto* combo = qobject_cast<const QComboBox*>(widget);
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items.join(QStringLiteral(" | ")).toStdString();
}

ControlEntry entryOf(const QWidget* widget, const ControlTable& table)
{
    ControlEntry entry;
    entry.Names = widget->objectName().toStdString();
    entry.Meaning = meaningOf(table, widget->objectName());
    entry.Caption = entry.Meaning ? entry.Meaning->Caption : std::string();
    entry.Takes = takes(widget);
    positionRange(widget, entry.Low, entry.High);
    return entry;
}

// "udAY «Масштаб A»", or the name alone for a control without a caption.
std::string named(const ControlEntry& entry)
{
    return entry.Caption.empty() ? entry.Names : entry.Names + " " + Unbroken("«" + entry.Caption + "»");
}

QString wrongValue(const QWidget* widget, const ControlEntry& entry, const QString& value)
{
    std::string text = named(entry) + " принимает ";
    if (qobject_cast<const QComboBox*>(widget))
        text += "текст пункта: ";
    else if (entry.Low < entry.High)
        text += "позицию ";
    text += entry.Takes;
    const std::string range = entry.Meaning ? MeaningRange(*entry.Meaning, entry.Low, entry.High) : std::string();
    if (!range.empty())
        text += " или значение позиции в ее единицах (" + Unbroken(range) + ")";
    // The line follows the run's own beginning, "mirel: --set: ".
    return QString::fromStdString(Wrapped(text + ", а не " + Quoted(value.toStdString()), 14, 4, 80) + "\n");
}

// A setting of a display's popup menu: a named group of exclusive items, each with its word as
// data, or a named checkable item.
struct MenuSetting {
    QActionGroup* Group = nullptr;
    QAction* Check = nullptr;
};

MenuSetting menuSetting(QWidget* window, const QString& name)
{
    if (auto* group = window->findChild<QActionGroup*>(name))
        return {group, nullptr};
    if (auto* action = window->findChild<QAction*>(name); action && action->isCheckable())
        return {nullptr, action};
    return {};
}

// "window «Окно»: rect | hann | blackman | flattop", the caption being the submenu's title.
std::string describedMenuSetting(const MenuSetting& setting)
{
    if (setting.Check)
        return setting.Check->objectName().toStdString() + " " +
               Unbroken("«" + setting.Check->text().toStdString() + "»") + ": 0 или 1";
    QStringList words;
    QString caption;
    for (QAction* action : setting.Group->actions()) {
        words << action->data().toString();
        if (const auto* menu = qobject_cast<const QMenu*>(action->parent()))
            caption = menu->title();
    }
    return setting.Group->objectName().toStdString() + " " + Unbroken("«" + caption.toStdString() + "»") + ": " +
           words.join(QStringLiteral(" | ")).toStdString();
}

// Picks `value` of a menu setting as a click on its item does; false when it has no such value.
bool applyMenuSetting(const MenuSetting& setting, const QString& value)
{
    if (setting.Check) {
        if (value != QStringLiteral("0") && value != QStringLiteral("1"))
            return false;
        if (setting.Check->isChecked() != (value == QStringLiteral("1")))
            setting.Check->trigger();
        return true;
    }
    for (QAction* action : setting.Group->actions())
        if (action->data().toString() == value) {
            action->trigger();
            return true;
        }
    return false;
}

}  // namespace

bool applySetting(QWidget* window, const QString& control, const QString& value, QString& error)
{
    QWidget* widget = window->findChild<QWidget*>(control);
    if (const MenuSetting menu = menuSetting(window, control);
        (!widget || !settable(widget)) && (menu.Group || menu.Check)) {
        if (applyMenuSetting(menu, value))
            return true;
        error = QString::fromStdString(
                    Wrapped(describedMenuSetting(menu) + ", а не " + Quoted(value.toStdString()), 14, 4, 80) + "\n") +
                settableControlsText(window);
        return false;
    }
    if (!widget || !settable(widget)) {
        error = QString::fromStdString("нет элемента управления " + Quoted(control.toStdString()) + "\n") +
                settableControlsText(window);
        return false;
    }
    const ControlTable table = meaningsOf(window);
    const ControlEntry entry = entryOf(widget, table);
    const std::optional<int> position = PositionNamed(entry.Meaning, entry.Low, entry.High, value.toStdString());
    bool ok = false;
    if (auto* slider = qobject_cast<QAbstractSlider*>(widget)) {
        if ((ok = position.has_value()))
            slider->setValue(*position);
    } else if (auto* upDown = qobject_cast<UpDown*>(widget)) {
        // Stepped there as by the arrows, each step handled as a click.
        if (position) {
            const int steps = upDown->maximum() - upDown->minimum();
            for (int i = 0; i < steps && upDown->position() != *position; ++i)
                upDown->position() < *position ? upDown->stepUp() : upDown->stepDown();
            ok = upDown->position() == *position;
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
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        // Typed and left, as a user does.
        edit->setText(value);
        emit edit->editingFinished();
        ok = edit->property("fault").toString().isEmpty();
    }
    if (!ok && settableEdit(widget))
        error = QString::fromStdString(named(entry) + ": " + Quoted(value.toStdString()) + " — ") +
                widget->property("fault").toString() + "\n";
    else if (!ok)
        error = wrongValue(widget, entry, value) + settableControlsText(window);
    return ok;
}

QString settableControlsText(QWidget* window)
{
    const ControlTable table = meaningsOf(window);
    std::vector<ControlEntry> entries;
    for (const QWidget* widget : window->findChildren<QWidget*>())
        if (settable(widget))
            entries.push_back(entryOf(widget, table));
    std::string text =
        "Элементы окна «" + window->windowTitle().toStdString() + "» (имя «подпись»: позиции = значения):\n";
    for (const ControlEntry& entry : PairedChannels(entries)) {
        std::string line = named(entry) + ": " + entry.Takes;
        if (entry.Meaning) {
            std::string items;
            for (const std::string& item : PositionItems(*entry.Meaning, entry.Low, entry.High))
                items += (items.empty() ? "" : ", ") + Unbroken(item);
            if (!items.empty())
                line += "; " + items;
        }
        text += "  " + Wrapped(line, 2, 6, 80) + "\n";
    }
    for (const QActionGroup* group : window->findChildren<QActionGroup*>())
        if (!group->objectName().isEmpty())
            text += "  " + Wrapped(describedMenuSetting({const_cast<QActionGroup*>(group), nullptr}), 2, 6, 80) + "\n";
    for (QAction* action : window->findChildren<QAction*>())
        if (action->isCheckable() && !action->objectName().isEmpty() && !action->actionGroup())
            text += "  " + Wrapped(describedMenuSetting({nullptr, action}), 2, 6, 80) + "\n";
    return QString::fromStdString(text);
}

}  // namespace mirel
