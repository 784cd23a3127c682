#include "app/TMainForm.h"

#include "app/InputSetup.h"
#include "app/InstrumentIcons.h"
#include "common/ValueFormat.h"
#include "display/AppFont.h"
#include "display/PanelStyle.h"
#include "display/UpDown.h"
#include "playback/GeneratorControl.h"
#include "playback/GeneratorDialog.h"
#include "windows/GraphicWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QRadioButton>
#include <QScreen>
#include <QToolButton>
#include <iostream>

namespace mirel {

namespace {

// «48 кГц», «44,1 кГц», «22,05 кГц»: the rate in kilohertz, with the decimals it needs.
QString rateCaption(int rate)
{
    return QString::fromStdString(GeneralFloatText(rate / 1000.0)) + QStringLiteral(" кГц");
}

}  // namespace

TMainForm::TMainForm(WaveInput& input, LauncherLink& launcher, GeneratorControl* generator)
    : CurrentScheme(launcher.WhiteScheme),
      input_(input),
      Launcher(launcher),
      ownGenerator_(generator ? nullptr : std::make_unique<GeneratorControl>()),
      generator_(generator ? generator : ownGenerator_.get())
{
    setObjectName("MainForm");
    setWindowTitle(QStringLiteral("Mirel - v1.27"));
    setFont(appFont());
    setFixedSize(492, 123);
    // Over the window the user looks at: a dialog open over the toolbar, else the one holding it.
    showMessage = [this](const QString& text) {
        QWidget* over = QApplication::activeModalWidget();
        QMessageBox::information(over ? over : MainPanel->window(), QStringLiteral("Mirel"), text);
    };

    MainPanel = panel::controlPanel(this, "MainPanel", 40);
    MainPanel->setGeometry(0, 0, 492, 40);

    sbtnOS = makeToolButton(Oscilloscope, 5, 30);
    sbtnOS->setObjectName("sbtnOS");
    sbtnOS->setIcon(oscilloscopeIcon());
    sbtnOS->setToolTip(QStringLiteral("Осциллограф"));
    sbtnSP = makeToolButton(Spectrum, 40, 30);
    sbtnSP->setObjectName("sbtnSP");
    sbtnSP->setIcon(spectrumIcon());
    sbtnSP->setToolTip(QStringLiteral("Спектроанализатор"));
    sbtnPV = makeToolButton(Density, 75, 30);
    sbtnPV->setObjectName("sbtnPV");
    sbtnPV->setIcon(densityIcon());
    sbtnPV->setToolTip(QStringLiteral("Плотность вероятности"));
    SpeedButton1 = makeToolButton(Statistics, 110, 30);
    SpeedButton1->setObjectName("SpeedButton1");
    SpeedButton1->setIcon(statisticsIcon());
    SpeedButton1->setToolTip(QStringLiteral("Расчет ошибок"));
    sbtnTF = makeToolButton(Transfer, 145, 30);
    sbtnTF->setObjectName("sbtnTF");
    sbtnTF->setIcon(transferIcon());
    sbtnTF->setToolTip(QStringLiteral("Передаточная функция"));

    // The generator's toggle, and under it the way into its dialog: the one gap of the toolbar left
    // at the narrowest instrument window, between «Выбрать аудиоустр.» and the scheme.
    sbtnGen = new QToolButton(MainPanel);
    sbtnGen->setObjectName("sbtnGen");
    sbtnGen->setGeometry(241, 3, 16, 19);
    sbtnGen->setIconSize(QSize(14, 14));
    sbtnGen->setAutoRaise(true);
    sbtnGen->setCheckable(true);
    connect(sbtnGen, &QToolButton::clicked, this, [this] { sbtnGenClick(); });
    sbtnGenSetup = new QToolButton(MainPanel);
    sbtnGenSetup->setObjectName("sbtnGenSetup");
    sbtnGenSetup->setGeometry(241, 23, 16, 14);
    sbtnGenSetup->setAutoRaise(true);
    sbtnGenSetup->setText(QStringLiteral("…"));
    sbtnGenSetup->setToolTip(QStringLiteral("Генератор: настройка…"));
    connect(sbtnGenSetup, &QToolButton::clicked, this, [this] { sbtnGenSetupClick(); });
    connect(generator_, &GeneratorControl::changed, this, [this] { showGeneratorState(); });
    connect(generator_, &GeneratorControl::failed, this, [this](const QString& message) { showMessage(message); });
    showGeneratorState();

    sbtnMain = makeToolButton(MainWindow, 176, 65);
    sbtnMain->setObjectName("sbtnMain");
    sbtnMain->setToolButtonStyle(Qt::ToolButtonTextOnly);
    sbtnMain->hide();

    gbFon = panel::group(QStringLiteral("Фон"), MainPanel, false);
    gbFon->setObjectName("gbFon");
    gbFon->setGeometry(257, 0, 128, 38);
    rbWhite = new QRadioButton(QStringLiteral("Белый"), gbFon);
    rbWhite->setObjectName("rbWhite");
    rbWhite->setGeometry(6, 16, 58, 18);
    rbWhite->setChecked(true);
    rbBlack = new QRadioButton(QStringLiteral("Черный"), gbFon);
    rbBlack->setObjectName("rbBlack");
    rbBlack->setGeometry(66, 16, 60, 18);
    panel::setPlainStyle(rbWhite);
    panel::setPlainStyle(rbBlack);
    connect(rbWhite, &QRadioButton::clicked, this, [this] { rbWhiteClick(); });
    connect(rbBlack, &QRadioButton::clicked, this, [this] { rbWhiteClick(); });
    gbFon->hide();

    gbLineWidth = panel::group(QStringLiteral("Толщина линии"), MainPanel, false);
    gbLineWidth->setObjectName("gbLineWidth");
    gbLineWidth->setGeometry(388, 0, 99, 38);
    edLineWidth = new QLineEdit(QStringLiteral("1"), gbLineWidth);
    edLineWidth->setObjectName("edLineWidth");
    edLineWidth->setReadOnly(true);
    edLineWidth->setGeometry(30, 15, 24, 20);
    panel::setPlainStyle(edLineWidth);
    udLineWidth = new UpDown(Qt::Vertical, gbLineWidth);
    udLineWidth->setObjectName("udLineWidth");
    udLineWidth->setRange(1, 3);
    udLineWidth->setWrap(true);
    udLineWidth->setPosition(1);
    udLineWidth->setAssociate(edLineWidth);
    udLineWidth->setGeometry(54, 15, 16, 20);
    connect(udLineWidth, &UpDown::clicked, this, [this] { udLineWidthClick(); });
    gbLineWidth->hide();

    auto* label2 = new QLabel(QStringLiteral("Выберите аудиоустройство для снятия входного сигнала:"), this);
    label2->setObjectName("Label2");
    label2->move(8, 43);
    lbAD = new QListWidget(this);
    lbAD->setObjectName("lbAD");
    lbAD->setGeometry(8, 59, 209, 57);
    // A click probes the device, also a click on the entry already chosen; choosing by keyboard
    // probes too. A mouse press that changes the entry probes once, not again at its release.
    connect(lbAD, &QListWidget::currentRowChanged, this, [this](int row) {
        probedByPress_ = QGuiApplication::mouseButtons() != Qt::NoButton;
        if (row >= 0)
            lbADClick();
    });
    connect(lbAD, &QListWidget::itemClicked, this, [this] {
        if (!probedByPress_)
            lbADClick();
        probedByPress_ = false;
    });
    auto* label1 = new QLabel(QStringLiteral("Максимальная частота дискретизации:"), this);
    label1->setObjectName("Label1");
    label1->move(224, 59);
    lblMaxFd = new QLabel(this);
    lblMaxFd->setObjectName("lblMaxFd");
    lblMaxFd->setGeometry(224, 75, 200, 16);
}

TMainForm::~TMainForm() = default;

QToolButton* TMainForm::makeToolButton(int tag, int left, int width)
{
    auto* button = new QToolButton(MainPanel);
    button->setProperty("Tag", tag);
    button->setGeometry(left, 5, width, 30);
    button->setIconSize(QSize(26, 26));
    button->setAutoRaise(true);
    connect(button, &QToolButton::clicked, this, [this, tag] { sbtnOSPVClick(tag); });
    return button;
}

void TMainForm::setInstruments(const std::array<InstrumentWindow*, 5>& instruments)
{
    instruments_ = instruments;
}

InstrumentWindow* TMainForm::instrument(int number) const
{
    return number >= Oscilloscope && number <= Transfer ? instruments_[static_cast<size_t>(number - 1)] : nullptr;
}

bool TMainForm::FormCreate()
{
    Launcher.RequestedInstrument = NoInstrument;
    Launcher.CurrentInstrument = MainWindow;
    CurrentScheme = Launcher.WhiteScheme;
    FillDeviceList();
    if (lbAD->count() > 0) {
        {
            const QSignalBlocker quiet(lbAD);
            lbAD->setCurrentRow(0);
        }
        lbADClick();
        sbtnMain->setText(QStringLiteral("Выбрать\nаудиоустр."));
        return true;
    }
    // On the terminal also the ways to start without a sound card.
    std::cerr << noSoundCardText();
    showMessage(QStringLiteral("Звуковая карта не обнаружена"));
    if (Launcher.endApplication)
        Launcher.endApplication();
    return false;
}

void TMainForm::FillDeviceList()
{
    lbAD->clear();
    const int count = input_.deviceCount();
    for (int id = 0; id < count; ++id) {
        std::string name;
        if (input_.deviceName(id, name) != MMSYSERR_NOERROR)
            continue;
        auto* item = new QListWidgetItem(QString::number(id + 1) + ": " + QString::fromStdString(name), lbAD);
        item->setData(Qt::UserRole, id);
    }
}

void TMainForm::lbADClick()
{
    const QListWidgetItem* item = lbAD->currentItem();
    if (!item)
        return;
    DeviceId = item->data(Qt::UserRole).toInt();
    MaxSampleRate = captureRate(input_, DeviceId);
    lblMaxFd->setText(rateCaption(MaxSampleRate));
    generator_->setPreferredRate(MaxSampleRate);
    const bool canCapture = MaxSampleRate != 0;
    sbtnOS->setEnabled(canCapture);
    sbtnSP->setEnabled(canCapture);
    sbtnPV->setEnabled(canCapture);
    sbtnTF->setEnabled(canCapture);
}

int TMainForm::GetMaxFd()
{
    return highestSupportedRate(input_, DeviceId);
}

void TMainForm::sbtnOSPVClick(int tag)
{
    for (InstrumentWindow* window : instruments_) {
        if (!window)
            continue;
        window->DeviceId = DeviceId;
        window->SampleRate = MaxSampleRate;
    }
    if (Launcher.CurrentInstrument != MainWindow) {
        if (tag == Launcher.CurrentInstrument)
            return;
        Launcher.RequestedInstrument = tag;
        if (InstrumentWindow* shown = instrument(Launcher.CurrentInstrument))
            shown->close();
        return;
    }
    if (tag != MainWindow)
        StartForm(tag);
}

void TMainForm::StartForm(int number)
{
    if (isVisible())
        hide();
    Launcher.RequestedInstrument = number;
    while (Launcher.RequestedInstrument != NoInstrument) {
        Launcher.CurrentInstrument = Launcher.RequestedInstrument;
        gbFon->show();
        gbLineWidth->show();
        sbtnMain->show();
        Launcher.RequestedInstrument = NoInstrument;
        InstrumentWindow* window = instrument(Launcher.CurrentInstrument);
        switch (Launcher.CurrentInstrument) {
        case Oscilloscope:
            // The oscilloscope always draws 1-pixel traces; the spinner keeps the chosen width.
            gbLineWidth->hide();
            udLineWidth->setTag(udLineWidth->position());
            udLineWidth->setPosition(1);
            if (auto* graphic = qobject_cast<GraphicWindow*>(window))
                graphic->ChangeLineWidth(1, false);
            window->dockToolbar(MainPanel);
            window->exec();
            gbLineWidth->show();
            udLineWidth->setPosition(udLineWidth->tag());
            LineWidth = udLineWidth->position();
            break;
        case Spectrum:
        case Density:
        case Transfer:
            window->dockToolbar(MainPanel);
            window->exec();
            break;
        case Statistics:
            window->dockToolbar(MainPanel);
            gbFon->hide();
            gbLineWidth->hide();
            window->exec();
            break;
        default:  // the launcher itself
            MainPanel->setParent(this);
            MainPanel->setGeometry(0, 0, width(), 40);
            MainPanel->show();
            gbFon->hide();
            gbLineWidth->hide();
            sbtnMain->hide();
            Launcher.CurrentInstrument = MainWindow;
            show();
            break;
        }
    }
}

void TMainForm::rbWhiteClick()
{
    const bool isWhite = CurrentScheme.Background == Launcher.WhiteScheme.Background;
    if (rbWhite->isChecked() == isWhite)
        return;
    for (InstrumentWindow* window : instruments_)
        if (auto* graphic = qobject_cast<GraphicWindow*>(window))
            graphic->ChangeColor();
    CurrentScheme = isWhite ? Launcher.BlackScheme : Launcher.WhiteScheme;
}

void TMainForm::udLineWidthClick()
{
    LineWidth = edLineWidth->text().toInt();
    const InstrumentWindow* shown = instrument(Launcher.CurrentInstrument);
    for (InstrumentWindow* window : instruments_)
        if (auto* graphic = qobject_cast<GraphicWindow*>(window))
            graphic->ChangeLineWidth(LineWidth, window == shown);
}

void TMainForm::sbtnGenClick()
{
    if (generator_->isOn())
        generator_->stop();
    else
        generator_->play();
    showGeneratorState();
}

void TMainForm::sbtnGenSetupClick()
{
    GeneratorDialog dialog(*generator_, MainPanel->window());
    dialog.exec();
}

void TMainForm::showGeneratorState()
{
    sbtnGen->setChecked(generator_->isOn());
    sbtnGen->setIcon(generatorIcon(generator_->lost()));
    sbtnGen->setToolTip(generator_->isOn() ? generator_->stateText() : QStringLiteral("Генератор"));
}

void TMainForm::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (e->spontaneous())
        return;  // a restore by the window system keeps the place the user gave it
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.width() / 2 - width() / 2, area.height() / 2 - height() / 2);
    }
}

void TMainForm::closeEvent(QCloseEvent* e)
{
    e->accept();
    if (Launcher.endApplication)
        Launcher.endApplication();
}

}  // namespace mirel
