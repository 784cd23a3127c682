// The spectrum analyser's controls: the bottom panel with the Y group (channels and scales), the X
// group (band), the spectrum kind and the accuracy, and the wiring of their handlers.
#include "spectrum/TFormSP.h"

#include "display/PanelStyle.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QSlider>

namespace mirel {

using namespace panel;

namespace {

QLabel* namedLabel(const char* name, const QString& text, QWidget* parent, int left, int top, const QColor& colour,
                   bool bold)
{
    QLabel* l = label(text, parent, left, top, colour, bold);
    l->setObjectName(name);
    return l;
}

}  // namespace

void TFormSP::buildControls()
{
    pnlControl = controlPanel(clientArea(), "pnlControl", 108);
    addControlPanel(pnlControl);

    // Y: channel switches and the level scale of each channel.
    gbY = group(QStringLiteral("Y"), pnlControl, QRect(4, 3, 206, 97), true);
    gbY->setObjectName("gbY");
    namedLabel("Label8", QStringLiteral("A"), gbY, 8, 20, Green, true);
    namedLabel("Label9", QStringLiteral("B"), gbY, 8, 52, Maroon, true);
    namedLabel("Label10", QStringLiteral("Канал"), gbY, 4, 78, Navy, false);
    namedLabel("Label11", QStringLiteral("Масштаб"), gbY, 60, 78, Navy, false);
    cb1k = checkBox(gbY, "cb1k", {20, 20}, true);
    cb2k = checkBox(gbY, "cb2k", {20, 52}, false);
    // Range and positions as laid out; the spectrum kind sets them at creation.
    tbM1 =
        trackBar(gbY, "tbM1", QRect(34, 14, 82, 30), 0, spectrum::PowerPositionMax, 1, spectrum::LayoutScalePosition);
    tbM2 =
        trackBar(gbY, "tbM2", QRect(34, 46, 82, 30), 0, spectrum::PowerPositionMax, 1, spectrum::LayoutScalePosition);
    lblM1 = namedLabel("lblM1", QStringLiteral("50 мВ/дел"), gbY, 118, 21, Green, true);
    lblM2 = namedLabel("lblM2", QStringLiteral("50 мВ/дел"), gbY, 118, 53, Maroon, true);
    QStringList captions;
    for (bool amplitude : {true, false})
        for (int position = 0; position <= spectrum::ScalePositionMax(amplitude); ++position)
            captions << QString::fromUtf8(
                spectrum::DivisionCaption(spectrum::FullScaleAt(amplitude, position), amplitude));
    fitToWidest(lblM1, captions);
    fitToWidest(lblM2, captions);

    // X: the lower and upper edge of the band.
    gbX = group(QStringLiteral("X"), pnlControl, QRect(214, 3, 168, 97), true);
    gbX->setObjectName("gbX");
    namedLabel("Label3", QStringLiteral("Нижняя частота: "), gbX, 6, 15, Navy, false);
    namedLabel("Label2", QStringLiteral("Верхняя частота: "), gbX, 6, 55, Navy, false);
    lblFn1 = namedLabel("lblFn1", QStringLiteral("0 кГц"), gbX, 112, 15, Navy, true);
    lblFv1 = namedLabel("lblFv1", QStringLiteral("50 кГц"), gbX, 112, 55, Navy, true);
    fitToWidest(lblFn1, {QStringLiteral("48 кГц")});
    fitToWidest(lblFv1, {QStringLiteral("48 кГц")});
    const int bands = static_cast<int>(spectrum::BandTable.size());
    tbFn1 = trackBar(gbX, "tbFn1", QRect(2, 28, 162, 26), 1, bands - 1, 1, 1);
    tbFv1 = trackBar(gbX, "tbFv1", QRect(2, 68, 162, 26), 2, bands, 1, bands);

    // The spectrum kind and the transform length.
    gbSpektr = group(QStringLiteral("Спектр"), pnlControl, QRect(386, 3, 110, 50), false);
    gbSpektr->setObjectName("gbSpektr");
    rbSpektrAmp = new QRadioButton(QStringLiteral("Амплитуд"), gbSpektr);
    rbSpektrAmp->setObjectName("rbSpektrAmp");
    rbSpektrAmp->move(8, 15);
    rbSpektrAmp->setChecked(true);
    rbSpektrMosch = new QRadioButton(QStringLiteral("Мощностей"), gbSpektr);
    rbSpektrMosch->setObjectName("rbSpektrMosch");
    rbSpektrMosch->move(8, 31);
    for (QRadioButton* button : {rbSpektrAmp, rbSpektrMosch})
        setTextStyle(button, Navy, false);
    GroupBox2 = group(QStringLiteral("Точность"), pnlControl, QRect(386, 55, 110, 45), false);
    GroupBox2->setObjectName("GroupBox2");
    tbAccuracy = trackBar(GroupBox2, "tbAccuracy", QRect(4, 15, 102, 26), 0, spectrum::AccuracyPositionMax, 1,
                          spectrum::AccuracyPositionAtStart);
    tbAccuracy->setToolTip(QStringLiteral("Точность вычислений"));
    for (QSlider* bar : {tbM1, tbM2, tbFn1, tbFv1, tbAccuracy})
        bar->setPageStep(1);

    connect(tbM1, &QSlider::valueChanged, this, [this] { tbM1Change(); });
    connect(tbM2, &QSlider::valueChanged, this, [this] { tbM1Change(); });
    connect(tbFn1, &QSlider::valueChanged, this, [this] { tbFv1Change(tbFn1); });
    connect(tbFv1, &QSlider::valueChanged, this, [this] { tbFv1Change(tbFv1); });
    // One signal per change of kind, whichever button was clicked.
    connect(rbSpektrAmp, &QRadioButton::toggled, this, [this] { rbSpektrAmpClick(); });
    connect(cb1k, &QCheckBox::toggled, this, [this] { cb1kClick(); });
    connect(cb2k, &QCheckBox::toggled, this, [this] { cb1kClick(); });
    connect(tbAccuracy, &QSlider::valueChanged, this, [this] { tbAccuracyChange(); });
    connect(pbSP, &DrawingSurface::mousePressed, this,
            [this](Qt::MouseButton button, QPoint position) { pbSPMouseDown(button, position); });
    connect(pbSP, &DrawingSurface::resized, this, [this] { FrameResize(); });

    Timer1.setInterval(1000);
    connect(&Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
}

}  // namespace mirel
