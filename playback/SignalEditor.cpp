#include "playback/SignalEditor.h"

#include "display/PanelStyle.h"
#include "playback/SignalFields.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <array>
#include <cmath>

namespace mirel {

namespace {

const QColor FaultBase(255, 200, 200);

// The usual colours and weight inside the group, greyed with it when it is disabled.
void plain(QWidget* widget)
{
    // Each colour set one by one: a palette taken whole would count as not set and be inherited.
    const QPalette usual = QGuiApplication::palette();
    QPalette palette = widget->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            palette.setColor(group, role, usual.color(group, role));
    widget->setPalette(palette);
    QFont font = widget->font();
    font.setBold(false);
    widget->setFont(font);
}

// The fields' text as set by setSignal stands for the exact value behind it (in the signal's own
// unit), so that a rounded number shown is not read back in its place.
void showValue(QLineEdit* edit, const QString& text, double exact)
{
    edit->setText(text);
    edit->setProperty("shownText", text);
    edit->setProperty("exactValue", exact);
}

bool shownAsSet(const QLineEdit* edit)
{
    return edit->text() == edit->property("shownText").toString();
}

// A field's value in the signal's unit: the exact value while the text is as set, else the typed
// number times `scale`.
bool readValue(const QLineEdit* edit, double scale, double& value)
{
    if (shownAsSet(edit)) {
        value = edit->property("exactValue").toDouble();
        return true;
    }
    if (!parseNumber(edit->text(), value))
        return false;
    value *= scale;
    return true;
}

}  // namespace

SignalEditor::SignalEditor(const QString& title, QWidget* parent) : QGroupBox(title, parent)
{
    // A bold navy title, grey when the group is disabled.
    QPalette navy = QGuiApplication::palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        navy.setColor(group, QPalette::WindowText, panel::Navy);
    setPalette(navy);
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);
    form_ = new QFormLayout(this);
    form_->setContentsMargins(6, 4, 6, 6);
    form_->setHorizontalSpacing(4);
    form_->setVerticalSpacing(4);
    form_->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    form_->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    cbKind = new QComboBox(this);
    cbKind->setObjectName("cbKind");
    for (const KindCaption& entry : signalKinds())
        cbKind->addItem(QString::fromUtf8(entry.caption), static_cast<int>(entry.kind));
    plain(cbKind);
    form_->addRow(cbKind);
    connect(cbKind, &QComboBox::activated, this, [this] { kindChosen(); });

    edFrequency = addField(QStringLiteral("Частота, Гц"), QString());
    edFrequency->setObjectName("edFrequency");
    edFrequency2 = addField(QStringLiteral("Конечная, Гц"), QStringLiteral("Конечная частота качания, Гц"));
    edFrequency2->setObjectName("edFrequency2");
    edDuration = addField(QStringLiteral("Длительность, с"), QStringLiteral("Длительность одного качания, с"));
    edDuration->setObjectName("edDuration");

    cbPeriod = new QComboBox(this);
    cbPeriod->setObjectName("cbPeriod");
    for (int frames = 2048; frames <= 65536; frames *= 2)
        cbPeriod->addItem(QString::number(frames), frames);
    cbPeriod->setToolTip(QStringLiteral("Период шума в отсчетах: преобразование такой длины не видит растекания"));
    plain(cbPeriod);
    auto* periodLabel = new QLabel(QStringLiteral("Период N"), this);
    plain(periodLabel);
    form_->addRow(periodLabel, cbPeriod);
    connect(cbPeriod, &QComboBox::activated, this, [this] { check(cbPeriod); });

    edWidth = addField(QStringLiteral("Ширина, мс"), QStringLiteral("Длительность импульса, мс"));
    edWidth->setObjectName("edWidth");

    auto* level = new QWidget(this);
    plain(level);
    auto* row = new QHBoxLayout(level);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    edLevel = new QLineEdit(level);
    edLevel->setObjectName("edLevel");
    edLevel->setFixedWidth(48);
    plain(edLevel);
    cbUnit = new QComboBox(level);
    cbUnit->setObjectName("cbUnit");
    cbUnit->addItem(QStringLiteral("В"));
    cbUnit->addItem(QStringLiteral("дБFS"));
    cbUnit->setToolTip(QStringLiteral("Уровень в вольтах или в децибелах относительно полной шкалы (1 В)"));
    plain(cbUnit);
    row->addWidget(edLevel);
    row->addWidget(cbUnit);
    lblLevel_ = new QLabel(this);
    plain(lblLevel_);
    form_->addRow(lblLevel_, level);
    connect(edLevel, &QLineEdit::textEdited, this, [this] { check(edLevel); });
    connect(cbUnit, &QComboBox::activated, this, [this] { unitChosen(); });

    // One width for the captions of every kind, so that the fields of both channels line up.
    const QStringList captions{QStringLiteral("Частота, Гц"),  QStringLiteral("Начальная, Гц"),
                               QStringLiteral("Конечная, Гц"), QStringLiteral("Длительность, с"),
                               QStringLiteral("Период N"),     QStringLiteral("Ширина, мс"),
                               QStringLiteral("Амплитуда"),    QStringLiteral("СКЗ")};
    for (QLabel* caption : findChildren<QLabel*>())
        panel::fitToWidest(caption, captions);

    // As high as the kind with the most fields, so that choosing another kind does not move the
    // controls below.
    SignalSpec sweep;
    sweep.kind = SignalKind::Sweep;
    signal_ = sweep;
    showFields();
    setMinimumHeight(sizeHint().height());
    setSignal(startingSignal(SignalKind::Sine, {}));
}

QLineEdit* SignalEditor::addField(const QString& caption, const QString& hint)
{
    auto* edit = new QLineEdit(this);
    edit->setFixedWidth(64);
    edit->setProperty("hint", hint);
    plain(edit);
    auto* label = new QLabel(caption, this);
    plain(label);
    form_->addRow(label, edit);
    connect(edit, &QLineEdit::textEdited, this, [this, edit] { check(edit); });
    return edit;
}

void SignalEditor::setSignal(const SignalSpec& signal)
{
    signal_ = signal;
    for (int i = 0; i < cbKind->count(); ++i)
        if (cbKind->itemData(i).toInt() == static_cast<int>(signal.kind))
            cbKind->setCurrentIndex(i);
    showValue(edFrequency, numberText(signal.frequency), signal.frequency);
    showValue(edFrequency2, numberText(signal.frequency2), signal.frequency2);
    showValue(edDuration, numberText(signal.duration), signal.duration);
    showValue(edWidth, numberText(signal.pulseWidth * 1000.0), signal.pulseWidth);
    const int period = cbPeriod->findData(signal.periodFrames);
    cbPeriod->setCurrentIndex(period >= 0 ? period : cbPeriod->findData(DefaultPeriod));
    showLevel();
    showFields();
    setFault(nullptr, QString());
}

void SignalEditor::setUnit(Unit unit)
{
    unit_ = unit;
    cbUnit->setCurrentIndex(unit == Unit::DBFS ? 1 : 0);
    showLevel();
}

void SignalEditor::showLevel()
{
    showValue(edLevel, levelText(signal_.amplitude, unit_), signal_.amplitude);
}

void SignalEditor::showFields()
{
    const SignalKind kind = signal_.kind;
    const bool sweep = kind == SignalKind::Sweep;
    form_->setRowVisible(edFrequency, takesFrequency(kind));
    form_->setRowVisible(edFrequency2, sweep);
    form_->setRowVisible(edDuration, sweep);
    form_->setRowVisible(cbPeriod, kind == SignalKind::Periodic);
    form_->setRowVisible(edWidth, kind == SignalKind::Pulse);
    form_->setRowVisible(edLevel->parentWidget(), kind != SignalKind::Silence);
    if (auto* label = qobject_cast<QLabel*>(form_->labelForField(edFrequency)))
        label->setText(sweep ? QStringLiteral("Начальная, Гц") : QStringLiteral("Частота, Гц"));
    edFrequency->setProperty("hint", sweep ? QStringLiteral("Начальная частота качания, Гц") : QString());
    lblLevel_->setText(rmsLevel(kind) ? QStringLiteral("СКЗ") : QStringLiteral("Амплитуда"));
    edLevel->setProperty("hint", rmsLevel(kind) ? QStringLiteral("Среднеквадратичное значение")
                                                : QStringLiteral("Пиковое значение"));
}

void SignalEditor::kindChosen()
{
    const auto kind = static_cast<SignalKind>(cbKind->currentData().toInt());
    if (kind == signal_.kind)
        return;
    setSignal(startingSignal(kind, signal_));
    emit edited();
}

void SignalEditor::unitChosen()
{
    const Unit unit = cbUnit->currentIndex() == 1 ? Unit::DBFS : Unit::Volts;
    if (unit == unit_)
        return;
    double volts = 0.0;
    QString why;
    const bool readable = readLevel(volts, why);
    unit_ = unit;
    if (readable)
        showValue(edLevel, levelText(volts, unit_), volts);
    check(edLevel);
}

bool SignalEditor::readFields(SignalSpec& out, QWidget*& faulty, QString& why) const
{
    const SignalKind kind = signal_.kind;
    SignalSpec s = signal_;
    auto number = [&](QLineEdit* edit, const QString& caption, double scale, double& value) {
        if (readValue(edit, scale, value))
            return true;
        faulty = edit;
        why = caption + QStringLiteral(": введите число");
        return false;
    };
    const bool sweep = kind == SignalKind::Sweep;
    if (takesFrequency(kind) &&
        !number(edFrequency, sweep ? QStringLiteral("Начальная частота") : QStringLiteral("Частота"), 1.0, s.frequency))
        return false;
    if (sweep && (!number(edFrequency2, QStringLiteral("Конечная частота"), 1.0, s.frequency2) ||
                  !number(edDuration, QStringLiteral("Длительность"), 1.0, s.duration)))
        return false;
    if (kind == SignalKind::Pulse && !number(edWidth, QStringLiteral("Ширина"), 0.001, s.pulseWidth))
        return false;
    if (kind == SignalKind::Periodic)
        s.periodFrames = cbPeriod->currentData().toInt();
    if (kind != SignalKind::Silence && !readLevel(s.amplitude, why)) {
        faulty = edLevel;
        return false;
    }
    out = s;
    return true;
}

bool SignalEditor::readLevel(double& volts, QString& why) const
{
    if (shownAsSet(edLevel)) {
        volts = edLevel->property("exactValue").toDouble();
        return true;
    }
    const QString typed = edLevel->text().trimmed();
    if (unit_ == Unit::DBFS && (typed == QStringLiteral("-∞") || typed.toLower() == QStringLiteral("-inf"))) {
        volts = 0.0;
        return true;
    }
    double level = 0.0;
    if (!parseNumber(typed, level)) {
        why = lblLevel_->text() + QStringLiteral(": введите число");
        return false;
    }
    if (unit_ == Unit::Volts) {
        volts = level;
        return true;
    }
    if (level > 0.0) {
        why = lblLevel_->text() + QStringLiteral(": не выше 0 дБFS (полная шкала)");
        return false;
    }
    volts = std::pow(10.0, level / 20.0);
    return true;
}

void SignalEditor::check(QWidget* typedIn)
{
    // Each field alone against the signal in force, so that a fault is shown where it is; the
    // field just typed in first.
    const std::array<QWidget*, 6> fields{typedIn, edFrequency, edFrequency2, edDuration, edWidth, edLevel};
    SignalSpec all = signal_;
    QWidget* faulty = nullptr;
    QString why;
    if (!readFields(all, faulty, why)) {
        setFault(faulty, why);
        return;
    }
    for (QWidget* field : fields) {
        if (!field->isVisibleTo(this))
            continue;
        SignalSpec one = signal_;
        if (field == edFrequency)
            one.frequency = all.frequency;
        else if (field == edFrequency2)
            one.frequency2 = all.frequency2;
        else if (field == edDuration)
            one.duration = all.duration;
        else if (field == edWidth)
            one.pulseWidth = all.pulseWidth;
        else if (field == cbPeriod)
            one.periodFrames = all.periodFrames;
        else
            one.amplitude = all.amplitude;
        if (!acceptable(one, why)) {
            setFault(field, why);
            return;
        }
    }
    if (!acceptable(all, why)) {
        setFault(typedIn, why);
        return;
    }
    setFault(nullptr, QString());
    if (all != signal_) {
        signal_ = all;
        emit edited();
    }
}

void SignalEditor::setFault(QWidget* faulty, const QString& why)
{
    for (QLineEdit* edit : {edFrequency, edFrequency2, edDuration, edWidth, edLevel}) {
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, edit == faulty ? FaultBase : QGuiApplication::palette().color(QPalette::Base));
        edit->setPalette(palette);
        edit->setToolTip(edit == faulty ? why : edit->property("hint").toString());
    }
    if (why != fault_) {
        fault_ = why;
        emit faultChanged();
    }
}

}  // namespace mirel
