#include "playback/GeneratorDialog.h"

#include "display/AppFont.h"
#include "display/PanelStyle.h"
#include "playback/GeneratorControl.h"
#include "playback/SignalEditor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace mirel {

GeneratorDialog::GeneratorDialog(GeneratorControl& control, QWidget* parent) : QDialog(parent), control_(control)
{
    setObjectName("GeneratorDialog");
    setWindowTitle(QStringLiteral("Генератор"));
    setFont(appFont());
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(6);

    auto* deviceRow = new QHBoxLayout;
    deviceRow->addWidget(panel::label(QStringLiteral("Устройство вывода:"), this, 0, 0, panel::Navy, false));
    cbDevice = new QComboBox(this);
    cbDevice->setObjectName("cbDevice");
    cbDevice->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cbDevice->setMinimumContentsLength(24);
    for (const OutputDevice& device : control.devices())
        cbDevice->addItem(QString::fromStdString(device.Name) +
                          (device.IsDefault ? QStringLiteral(" (по умолчанию)") : QString()));
    if (cbDevice->count() == 0) {
        cbDevice->addItem(QStringLiteral("Нет устройств вывода"));
        cbDevice->setEnabled(false);
    } else {
        cbDevice->setCurrentIndex(std::clamp(control.device(), 0, cbDevice->count() - 1));
    }
    cbDevice->setToolTip(QStringLiteral("Звуковая карта, на выход которой идет сигнал: канал A слева, B справа"));
    deviceRow->addWidget(cbDevice, 1);
    layout->addLayout(deviceRow);
    connect(cbDevice, &QComboBox::activated, this, [this](int index) { control_.setDevice(index); });

    auto* channels = new QHBoxLayout;
    channels->setSpacing(8);
    ChannelA = new SignalEditor(QStringLiteral("Канал A"), this);
    ChannelA->setObjectName("ChannelA");
    ChannelB = new SignalEditor(QStringLiteral("Канал B"), this);
    ChannelB->setObjectName("ChannelB");
    ChannelA->setUnit(control.levelInDbfs(0) ? SignalEditor::Unit::DBFS : SignalEditor::Unit::Volts);
    ChannelB->setUnit(control.levelInDbfs(1) ? SignalEditor::Unit::DBFS : SignalEditor::Unit::Volts);
    ChannelA->setSignal(control.spec().a);
    ChannelB->setSignal(control.spec().b);
    channels->addWidget(ChannelA, 1);
    channels->addWidget(ChannelB, 1);
    layout->addLayout(channels);

    cbSame = new QCheckBox(QStringLiteral("Тот же сигнал на оба канала"), this);
    cbSame->setObjectName("cbSame");
    cbSame->setChecked(control.sameOnBoth());
    ChannelB->setEnabled(!cbSame->isChecked());
    layout->addWidget(cbSame);

    auto* bottom = new QHBoxLayout;
    lblState = new QLabel(this);
    lblState->setObjectName("lblState");
    lblState->setWordWrap(true);
    lblState->setMinimumHeight(2 * fontMetrics().height());
    bottom->addWidget(lblState, 1);
    btnPlay = new QPushButton(this);
    btnPlay->setObjectName("btnPlay");
    btnPlay->setCheckable(true);
    btnPlay->setAutoDefault(false);
    bottom->addWidget(btnPlay, 0, Qt::AlignBottom);
    connect(btnPlay, &QPushButton::clicked, this, [this] {
        if (control_.isOn())
            control_.stop();
        else
            control_.play();
        showState();
    });
    btnClose = new QPushButton(QStringLiteral("Закрыть"), this);
    btnClose->setObjectName("btnClose");
    btnClose->setDefault(true);
    bottom->addWidget(btnClose, 0, Qt::AlignBottom);
    layout->addLayout(bottom);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);

    connect(ChannelA, &SignalEditor::edited, this, [this] { apply(); });
    connect(ChannelB, &SignalEditor::edited, this, [this] { apply(); });
    connect(cbSame, &QCheckBox::toggled, this, [this](bool same) {
        ChannelB->setEnabled(!same);
        apply();
    });
    connect(ChannelA, &SignalEditor::faultChanged, this, [this] { showState(); });
    connect(ChannelB, &SignalEditor::faultChanged, this, [this] { showState(); });
    connect(&control_, &GeneratorControl::changed, this, [this] { showState(); });
    connect(&control_, &GeneratorControl::failed, this, [this](const QString& message) { showFailure(message); });
    showState();
    setFixedSize(sizeHint());
}

GeneratorDialog::~GeneratorDialog()
{
    control_.setLevelInDbfs(0, ChannelA->unit() == SignalEditor::Unit::DBFS);
    control_.setLevelInDbfs(1, ChannelB->unit() == SignalEditor::Unit::DBFS);
}

void GeneratorDialog::apply()
{
    const bool same = cbSame->isChecked();
    if (same)
        ChannelB->setSignal(ChannelA->signal());
    control_.setSameOnBoth(same);
    control_.setSpec({ChannelA->signal(), ChannelB->signal()});
}

void GeneratorDialog::showState()
{
    QString fault;
    if (!ChannelA->fault().isEmpty())
        fault = QStringLiteral("Канал A: ") + ChannelA->fault();
    else if (!cbSame->isChecked() && !ChannelB->fault().isEmpty())
        fault = QStringLiteral("Канал B: ") + ChannelB->fault();
    lblState->setText(fault.isEmpty() ? control_.stateText() : fault);
    panel::setTextStyle(lblState, fault.isEmpty() ? panel::Navy : panel::Maroon, false);
    btnPlay->setChecked(control_.isOn());
    btnPlay->setText(control_.isOn() ? QStringLiteral("Выключить") : QStringLiteral("Включить"));
}

void GeneratorDialog::showFailure(const QString& message)
{
    lblState->setText(message);
    panel::setTextStyle(lblState, panel::Maroon, false);
}

}  // namespace mirel
