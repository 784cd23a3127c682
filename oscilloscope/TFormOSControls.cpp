// The oscilloscope window's controls: the bottom panel with the Y and X groups, the sweep and
// synchronisation controls and the refresh group, the popup menu of the screen, and the timers.
#include "oscilloscope/TFormOS.h"

#include "display/AppFont.h"
#include "display/PanelStyle.h"
#include "display/TypedKey.h"
#include "display/UpDown.h"
#include "oscilloscope/RefreshPacing.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QToolButton>

namespace mirel {

using namespace panel;

void TFormOS::buildControls()
{
    QWidget* pnlOscControl = controlPanel(clientArea(), "pnlOscControl", 108);
    addControlPanel(pnlOscControl);

    // Y: channel switches, sensitivities and vertical shifts.
    auto* gbY = group(QStringLiteral("Y"), pnlOscControl, QRect(8, 3, 292, 97), true);
    cb1k = checkBox(gbY, "cb1k", {20, 16}, true);
    cb2k = checkBox(gbY, "cb2k", {20, 49}, false);
    cb2k->setToolTip(QStringLiteral("Канал 2 : включить / выключить"));
    label(QStringLiteral("A"), gbY, 8, 16, Green, true);
    label(QStringLiteral("B"), gbY, 8, 49, Maroon, true);
    for (auto [text, left] :
         {std::pair{"Канал", 4}, std::pair{"Масштаб", 46}, std::pair{"Смещение по вертикали", 130}}) {
        label(QString::fromUtf8(text), gbY, left, 78, Navy, false);
    }
    udAY = new UpDown(Qt::Vertical, gbY);
    udAY->setObjectName("udAY");
    udAY->setGeometry(45, 16, 16, 26);
    udAY->setTag(1);
    udAY->setToolTip(QStringLiteral("Чувствительность A (вертикальные стрелки)"));
    udBY = new UpDown(Qt::Vertical, gbY);
    udBY->setObjectName("udBY");
    udBY->setGeometry(45, 49, 16, 26);
    udBY->setTag(2);
    udBY->setToolTip(QStringLiteral("Чувствительность B (вертикальные стрелки)"));
    for (UpDown* spinner : {udAY, udBY}) {
        spinner->setRange(0, osc::SensitivityPositionMax);
        spinner->setWrap(true);
        spinner->setPosition(osc::SensitivityPositionAtStart);
        connect(spinner, &UpDown::clicked, this, [this, spinner] { udAYClick(spinner); });
    }
    lblda = label(QStringLiteral("1000"), gbY, 61, 21, Green, true);
    lblda->setObjectName("lblda");
    lbldb = label(QStringLiteral("1000"), gbY, 61, 54, Maroon, true);
    lbldb->setObjectName("lbldb");
    QStringList sensCaptions;
    for (double sens : osc::SensitivityTable)
        for (int surfaceHeight : {0, 325})
            sensCaptions << QString::fromUtf8(osc::SensitivityCaption(sens, surfaceHeight));
    fitToWidest(lblda, sensCaptions);
    fitToWidest(lbldb, sensCaptions);
    tbAYShift = shiftBar(gbY, "tbAYShift", QRect(125, 16, 132, 28), 200, 40, QStringLiteral("Смещение по каналу A"));
    tbBYShift = shiftBar(gbY, "tbBYShift", QRect(125, 48, 132, 28), 200, 40, QStringLiteral("Смещение по каналу B"));
    sbtnAY0 = zeroButton(gbY, "sbtnAY0", {258, 16}, Green, QStringLiteral("Ноль смещения по каналу A (0)"));
    sbtnBY0 = zeroButton(gbY, "sbtnBY0", {258, 49}, Maroon, QStringLiteral("Ноль смещения по каналу B (0)"));
    // The captions may run into the track bars' left ends; the text stays readable on top.
    lblda->raise();
    lbldb->raise();

    // X: time base and horizontal shift.
    auto* gbX = group(QStringLiteral("X"), pnlOscControl, QRect(304, 3, 185, 97), true);
    udX = new UpDown(Qt::Horizontal, gbX);
    udX->setObjectName("udX");
    udX->setGeometry(16, 16, 30, 18);
    udX->setRange(0, osc::TimeBasePositionMax);
    udX->setWrap(true);
    udX->setPosition(osc::TimeBasePositionAtStart);
    udX->setToolTip(QStringLiteral("Диапазон развертки (горизонтальные стрелки)"));
    connect(udX, &UpDown::clicked, this, [this] { udXClick(); });
    lbldx = label(QStringLiteral("1 мс/дел"), gbX, 48, 18);
    lbldx->setObjectName("lbldx");
    lbldx->setFixedWidth(120);
    setTextStyle(lbldx, Navy, true);
    tbXShift = shiftBar(gbX, "tbXShift", QRect(1, 49, 150, 28), 300, 60, QStringLiteral("Смещение по горизонтали"));
    sbtnX0 = zeroButton(gbX, "sbtnX0", {152, 49}, Navy, QStringLiteral("Ноль смещения по горизонтали"));
    label(QStringLiteral("Смещение по горизонтали"), gbX, 8, 78, Navy, false);

    // Synchronisation and sweep, right of the design width.
    auto* label6 = label(QStringLiteral("Синхронизация:"), pnlOscControl, 494, 8);
    label6->setObjectName("Label6");
    cbSinchro = new QComboBox(pnlOscControl);
    cbSinchro->setObjectName("cbSinchro");
    cbSinchro->setGeometry(494, 24, 151, 21);
    cbSinchro->setToolTip(QStringLiteral("Способ синхронизации"));
    for (const auto& item : osc::SyncItems)
        cbSinchro->addItem(QString::fromUtf8(item.Caption));
    cbSinchro->setCurrentIndex(osc::SyncItemAtStart);
    setTextStyle(cbSinchro, Navy, false);
    connect(cbSinchro, &QComboBox::currentIndexChanged, this, [this] { cbSinchroChange(); });
    connect(cbSinchro, &QComboBox::activated, this, [this] { cbSinchroChange(); });
    Label8 = label(QStringLiteral("Развертка: непрерывная"), pnlOscControl, 494, 45);
    Label8->setObjectName("Label8");
    Label8->setFixedWidth(151);
    sbtnRazv = new QToolButton(pnlOscControl);
    sbtnRazv->setObjectName("sbtnRazv");
    sbtnRazv->setGeometry(494, 60, 149, 39);
    setTextStyle(sbtnRazv, Navy, false);
    connect(sbtnRazv, &QToolButton::clicked, this, [this] { sbtnRazvClick(); });
    sbtnRazvGo = new QToolButton(pnlOscControl);
    sbtnRazvGo->setObjectName("sbtnRazvGo");
    sbtnRazvGo->setGeometry(575, 60, 68, 39);
    setTextStyle(sbtnRazvGo, Maroon, false);
    sbtnRazvGo->hide();
    connect(sbtnRazvGo, &QToolButton::clicked, this, [this] { sbtnRazvGoClick(); });

    // Refresh interval.
    gbRefreshInt =
        group(QString::fromUtf8(osc::RefreshCaptionWithoutRate), pnlOscControl, QRect(650, 3, 150, 48), false);
    gbRefreshInt->setObjectName("gbRefreshInt");
    edRefreshInterval = new QLineEdit(QString::number(osc::DefaultRefreshInterval), gbRefreshInt);
    edRefreshInterval->setObjectName("edRefreshInterval");
    edRefreshInterval->setGeometry(73, 18, 59, 21);
    edRefreshInterval->setMaxLength(osc::RefreshIntervalMaxChars);
    edRefreshInterval->setToolTip(QStringLiteral("Обновление, в милисекундах"));
    edRefreshInterval->installEventFilter(this);
    setPlainStyle(edRefreshInterval);
    connect(edRefreshInterval, &QLineEdit::textChanged, this, [this] { edRefreshIntervalChange(); });
    cbRefInt = new QCheckBox(QStringLiteral("Max"), gbRefreshInt);
    cbRefInt->setObjectName("cbRefInt");
    cbRefInt->move(8, 20);
    cbRefInt->setToolTip(QStringLiteral("Максимальная скорость обновления"));
    setPlainStyle(cbRefInt);
    connect(cbRefInt, &QCheckBox::clicked, this, [this] { cbRefIntClick(); });

    for (QObject* control : {static_cast<QObject*>(cb1k), static_cast<QObject*>(cb2k)})
        connect(static_cast<QCheckBox*>(control), &QCheckBox::toggled, this,
                [this, control] { ChangeControl(control); });
    for (QSlider* bar : {tbAYShift, tbBYShift, tbXShift})
        connect(bar, &QSlider::valueChanged, this, [this, bar] { ChangeControl(bar); });
    for (QToolButton* button : {sbtnAY0, sbtnBY0, sbtnX0})
        connect(button, &QToolButton::clicked, this, [this, button] { ChangeControl(button); });

    // Timers: the data request, the readout and the one-shot job timer.
    TimerGetNewData.setInterval(osc::InitialDataRequestPeriod);
    TimerGetNewData.setTimerType(Qt::PreciseTimer);
    connect(&TimerGetNewData, &QTimer::timeout, this, [this] { TimerGetNewDataTimer(); });
    TimerRefPerSec.setInterval(osc::RefreshReadoutPeriod);
    connect(&TimerRefPerSec, &QTimer::timeout, this, [this] { TimerRefPerSecTimer(); });
    Timer.setInterval(osc::IdleJobTimerInterval);
    connect(&Timer, &QTimer::timeout, this, [this] { TimerTimer(); });
}

bool TFormOS::eventFilter(QObject* watched, QEvent* event)
{
    // The refresh interval takes digits among the typed characters.
    if (watched == edRefreshInterval && RefusedCharacter(event, osc::RefreshKeyAllowed))
        return true;
    return InstrumentWindow::eventFilter(watched, event);
}

}  // namespace mirel
