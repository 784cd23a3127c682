// The transfer function window's controls: the bottom panel with the analysis group (transform
// length, window, averaging and its reset, smoothing), the scales group (band, dB scale, coherence
// threshold and blanking) and the delay group, and the wiring of their handlers.
#include "transfer/TFormTF.h"

#include "display/PanelStyle.h"
#include "spectrum/ViewMenu.h"
#include "transfer/TransferSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace mirel {

using namespace panel;

namespace {

QComboBox* comboBox(QWidget* parent, const char* name, QRect geometry)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setGeometry(geometry);
    setPlainStyle(combo);
    return combo;
}

QLineEdit* edit(QWidget* parent, const char* name, QRect geometry)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setGeometry(geometry);
    setPlainStyle(field);
    // The command line's --set may type into it; edExit leaves the reason of a refusal in "fault".
    field->setProperty("numberField", true);
    return field;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, QRect geometry)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setGeometry(geometry);
    setPlainStyle(b);
    return b;
}

}  // namespace

void TFormTF::buildControls()
{
    pnlControl = controlPanel(clientArea(), "pnlControl", 112);
    addControlPanel(pnlControl);

    // The analysis: transform length, window, averaging, smoothing.
    gbAnalysis = group(QStringLiteral("Анализ"), pnlControl, QRect(4, 3, 168, 106), true);
    gbAnalysis->setObjectName("gbAnalysis");
    label(QStringLiteral("Точек"), gbAnalysis, 6, 19, Navy, false);
    label(QStringLiteral("Окно"), gbAnalysis, 6, 42, Navy, false);
    label(QStringLiteral("Усредн."), gbAnalysis, 6, 65, Navy, false);
    label(QStringLiteral("Сглаж."), gbAnalysis, 6, 88, Navy, false);
    cbN = comboBox(gbAnalysis, "cbN", QRect(58, 16, 104, 21));
    for (int n = transfer::ShortestFftLength; n <= transfer::LongestFftLength; n *= 2)
        cbN->addItem(QString::number(n));
    cbN->setCurrentText(QStringLiteral("16384"));
    cbWindow = comboBox(gbAnalysis, "cbWindow", QRect(58, 39, 104, 21));
    for (const spectrum::ViewMenuItem& item : spectrum::ViewMenuItems())
        if (item.Name == "window")
            for (const spectrum::ViewChoice& choice : item.Choices)
                cbWindow->addItem(QString::fromStdString(choice.Text),
                                  static_cast<int>(spectrum::WithViewChoice({}, "window", choice.Word)->Window));
    cbWindow->setCurrentIndex(cbWindow->findData(static_cast<int>(spectrum::WindowKind::Hann)));
    cbAverage = comboBox(gbAnalysis, "cbAverage", QRect(58, 62, 56, 21));
    for (const int n : {1, 4, 16, 64, 256})
        cbAverage->addItem(QString::number(n), n);
    cbAverage->addItem(QStringLiteral("Бесконечно"), transfer::InfiniteAveraging);
    cbAverage->setCurrentText(QStringLiteral("16"));
    btnReset = button(gbAnalysis, "btnReset", QStringLiteral("Сброс"), QRect(116, 62, 46, 21));
    btnReset->setToolTip(QStringLiteral("Начать усреднение заново"));
    cbSmoothing = comboBox(gbAnalysis, "cbSmoothing", QRect(58, 85, 104, 21));
    cbSmoothing->addItem(QStringLiteral("Нет"), 0);
    for (const int b : {48, 24, 12, 6, 3})
        cbSmoothing->addItem(QStringLiteral("1/%1").arg(b), b);

    // The scales: the band, the dB scale, the coherence threshold and what it does.
    gbScales = group(QStringLiteral("Шкалы"), pnlControl, QRect(176, 3, 164, 106), true);
    gbScales->setObjectName("gbScales");
    label(QStringLiteral("Гц"), gbScales, 6, 19, Navy, false);
    label(QStringLiteral("дБ"), gbScales, 6, 42, Navy, false);
    label(QStringLiteral("Порог γ²"), gbScales, 6, 65, Navy, false);
    label(QStringLiteral("–"), gbScales, 97, 19, Navy, false);
    label(QStringLiteral("–"), gbScales, 97, 42, Navy, false);
    edFLow = edit(gbScales, "edFLow", QRect(34, 16, 60, 21));
    edFHigh = edit(gbScales, "edFHigh", QRect(106, 16, 52, 21));
    edDbTop = edit(gbScales, "edDbTop", QRect(34, 39, 60, 21));
    edDbBottom = edit(gbScales, "edDbBottom", QRect(106, 39, 52, 21));
    edCoherence = edit(gbScales, "edCoherence", QRect(106, 62, 52, 21));
    edFLow->setToolTip(QStringLiteral("Нижняя частота, Гц"));
    edFHigh->setToolTip(QStringLiteral("Верхняя частота, Гц"));
    edDbTop->setToolTip(QStringLiteral("Верх шкалы модуля, дБ"));
    edDbBottom->setToolTip(QStringLiteral("Низ шкалы модуля, дБ"));
    edCoherence->setToolTip(QStringLiteral("Где когерентность ниже порога, кривые бледнее или скрыты"));
    cbBlanking = comboBox(gbScales, "cbBlanking", QRect(6, 85, 152, 21));
    cbBlanking->addItems({QStringLiteral("Приглушать"), QStringLiteral("Скрывать")});

    // The delay of B against A.
    gbDelay = group(QStringLiteral("Задержка"), pnlControl, QRect(344, 3, 152, 106), true);
    gbDelay->setObjectName("gbDelay");
    btnDelay = button(gbDelay, "btnDelay", QStringLiteral("Найти задержку"), QRect(6, 16, 140, 23));
    lblDelay = label(QStringLiteral("—"), gbDelay, 6, 42, Navy, true);
    lblDelay->setObjectName("lblDelay");
    lblDelay->setWordWrap(true);
    lblDelay->setGeometry(6, 41, 140, 40);
    lblDelay->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    chbCompensate = new QCheckBox(QStringLiteral("Компенсировать"), gbDelay);
    chbCompensate->setObjectName("chbCompensate");
    chbCompensate->move(6, 84);
    setPlainStyle(chbCompensate);
    chbCompensate->setToolTip(QStringLiteral("Вычесть найденную задержку из фазы"));

    connect(cbN, &QComboBox::currentIndexChanged, this, [this] { cbNChange(); });
    for (QComboBox* combo : {cbWindow, cbAverage, cbSmoothing})
        connect(combo, &QComboBox::currentIndexChanged, this, [this] { settingsChange(); });
    connect(chbCompensate, &QCheckBox::toggled, this, [this] { settingsChange(); });
    connect(btnReset, &QPushButton::clicked, this, [this] { btnResetClick(); });
    connect(btnDelay, &QPushButton::clicked, this, [this] { btnDelayClick(); });
    connect(cbBlanking, &QComboBox::currentIndexChanged, this, [this] { cbBlankingChange(); });
    for (QLineEdit* field : {edFLow, edFHigh, edDbTop, edDbBottom, edCoherence})
        connect(field, &QLineEdit::editingFinished, this, [this, field] { edExit(field); });
    connect(pbTF, &DrawingSurface::mousePressed, this,
            [this](Qt::MouseButton b, QPoint position) { pbTFMouseDown(b, position); });
    connect(pbTF, &DrawingSurface::resized, this, [this] { FrameResize(); });
}

}  // namespace mirel
