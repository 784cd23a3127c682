// The density window's controls: the bottom panel with the channel and scale group, the display
// mode and the refresh rate, laid out anew when the panel is narrower than their places.
#include "density/TFormPV.h"

#include "display/PanelStyle.h"

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QSlider>
#include <algorithm>

namespace mirel {

using namespace panel;

namespace {

QRadioButton* radio(const QString& text, QWidget* parent, const char* name, QRect geometry)
{
    auto* button = new QRadioButton(text, parent);
    button->setObjectName(name);
    // At least as wide as its caption in the font of this platform.
    geometry.setWidth(std::max(geometry.width(), button->sizeHint().width()));
    button->setGeometry(geometry);
    return button;
}

// Calls `resized` whenever the watched widget changes its size.
class ResizeWatch : public QObject {
public:
    ResizeWatch(QWidget* watched, std::function<void()> resized) : QObject(watched), resized_(std::move(resized))
    {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Resize)
            resized_();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> resized_;
};

// Room the scale bars give at most to the groups right of them (they keep 100 pixels for their
// 200 positions, which the keys step one by one), and the space kept at the panel's right.
constexpr int MaxBarGive = 42;
constexpr int RightSpace = 4;

}  // namespace

void TFormPV::buildControls()
{
    QWidget* pnlControl = controlPanel(clientArea(), "pnlControl", 107);
    addControlPanel(pnlControl);

    // Y: channel switches and the scales of the density mode.
    gbY = group(QStringLiteral("Y"), pnlControl, QRect(8, 3, 292, 97), true);
    gbY->setObjectName("gbY");
    Label8 = label(QStringLiteral("A"), gbY, 8, 16, Green, true);
    Label9 = label(QStringLiteral("B"), gbY, 8, 49, Maroon, true);
    Label10 = label(QStringLiteral("Канал"), gbY, 6, 76, Navy, false);
    Label11 = label(QStringLiteral("Масштаб"), gbY, 48, 76, Navy, false);
    Label11->setObjectName("Label11");
    cb1k = checkBox(gbY, "cb1k", {20, 16}, true);
    cb2k = checkBox(gbY, "cb2k", {20, 49}, false);
    tbVP1 = trackBar(gbY, "tbVP1", QRect(44, 15, 142, 27), pv::ScalePositionMin, pv::ScalePositionMax,
                     pv::ScaleTickSpacing, pv::ScalePositionAtStartA);
    tbVP2 = trackBar(gbY, "tbVP2", QRect(44, 48, 142, 27), pv::ScalePositionMin, pv::ScalePositionMax,
                     pv::ScaleTickSpacing, pv::ScalePositionAtStartB);
    lblVP1 = label(QStringLiteral("1/дел"), gbY, 190, 17, Green, true);
    lblVP1->setObjectName("lblVP1");
    lblVP2 = label(QStringLiteral("1/дел"), gbY, 190, 50, Maroon, true);
    lblVP2->setObjectName("lblVP2");
    QStringList scaleCaptions;
    for (int position = pv::ScalePositionMin; position <= pv::ScalePositionMax; ++position)
        scaleCaptions << QString::fromUtf8(pv::ScaleCaption(pv::ScaleAt(position)));
    fitToWidest(lblVP1, scaleCaptions);
    fitToWidest(lblVP2, scaleCaptions);

    // The display mode.
    gbGraphType = group(QStringLiteral("Тип графика"), pnlControl, QRect(304, 3, 233, 48), false);
    gbGraphType->setObjectName("gbGraphType");
    rbPV = radio(QStringLiteral("Плотность вероятности"), gbGraphType, "rbPV", QRect(16, 13, 143, 17));
    rbNM = radio(QStringLiteral("Нормированный по макс. значению"), gbGraphType, "rbNM", QRect(16, 29, 205, 16));
    rbNM->setChecked(true);
    gbGraphType->resize(std::max(gbGraphType->width(), rbNM->geometry().right() + 8), gbGraphType->height());
    const QString wholeCaption = rbNM->text();
    const int wideGroup = gbGraphType->width();
    const int wholeWidth = rbNM->sizeHint().width();  // the indicator and the whole caption

    // The refresh rate.
    gbrps = group(QString::fromUtf8(pv::RefreshRateCaption(pv::RefreshRateAtStart)), pnlControl,
                  QRect(304, 52, 185, 48), false);
    gbrps->setObjectName("gbrps");
    tbrps = trackBar(gbrps, "tbrps", QRect(10, 15, 150, 27), pv::RefreshRateMin, pv::RefreshRateMax, 1,
                     pv::RefreshRateAtStart);
    // Each new rate reopens the capture: a drag takes effect where it ends.
    tbrps->setTracking(false);
    for (QSlider* bar : {tbVP1, tbVP2, tbrps})
        bar->setPageStep(1);

    connect(cb1k, &QCheckBox::toggled, this, [this] { cb1kClick(); });
    connect(cb2k, &QCheckBox::toggled, this, [this] { cb1kClick(); });
    for (QSlider* bar : {tbVP1, tbVP2})
        connect(bar, &QSlider::valueChanged, this, [this, bar] { tbVP1Change(bar); });
    for (QRadioButton* button : {rbPV, rbNM})
        connect(button, &QRadioButton::toggled, this, [this](bool checked) {
            if (checked)
                rbPVClick();
        });
    connect(tbrps, &QSlider::valueChanged, this, [this] { tbrpsChange(); });

    // On a narrow panel the scale bars give room to the display mode, so that its captions stay
    // whole; only when that is not enough is the longer caption cut, whole in its tooltip.
    new ResizeWatch(pnlControl, [this, pnlControl, wholeCaption, wideGroup, wholeWidth] {
        // First the free room at the right of the scale group, then the bars.
        const int slack = std::max(0, 292 - (190 + lblVP1->width() + 8));
        const int give = std::clamp(304 + wideGroup + RightSpace - pnlControl->width(), 0, slack + MaxBarGive);
        const int barGive = std::max(0, give - slack);
        for (QSlider* bar : {tbVP1, tbVP2})
            bar->resize(142 - barGive, bar->height());
        for (QLabel* caption : {lblVP1, lblVP2})
            caption->move(190 - barGive, caption->y());
        gbY->resize(292 - give, gbY->height());
        gbGraphType->move(304 - give, gbGraphType->y());
        gbrps->move(304 - give, gbrps->y());
        const int room = std::min(wideGroup, pnlControl->width() - RightSpace - gbGraphType->x());
        gbGraphType->resize(room, gbGraphType->height());
        const int radioWidth = room - 7 - rbNM->x();
        const QString shown = radioWidth >= wholeWidth
                                  ? wholeCaption
                                  : rbNM->fontMetrics().elidedText(
                                        wholeCaption, Qt::ElideRight,
                                        radioWidth - (wholeWidth - rbNM->fontMetrics().horizontalAdvance(wholeCaption)));
        rbNM->setText(shown);
        rbNM->setToolTip(shown == wholeCaption ? QString() : wholeCaption);
        rbNM->resize(std::max(0, radioWidth), rbNM->height());
    });
}

}  // namespace mirel
