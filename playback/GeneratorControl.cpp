#include "playback/GeneratorControl.h"

#include "common/ValueFormat.h"

namespace mirel {

namespace {

GeneratorSpec firstSpec()
{
    GeneratorSpec spec;
    spec.a.kind = SignalKind::Sine;
    spec.a.frequency = 1000.0;
    spec.a.amplitude = 0.5;
    spec.b = spec.a;
    return spec;
}

}  // namespace

GeneratorControl::GeneratorControl(QObject* parent) : QObject(parent), spec_(firstSpec())
{
    poll_.setInterval(PollIntervalMs);
    connect(&poll_, &QTimer::timeout, this, [this] { poll(); });
}

GeneratorControl::~GeneratorControl()
{
    poll_.stop();
    if (player_)
        player_->stop();
}

SignalPlayer& GeneratorControl::ensurePlayer()
{
    if (!player_) {
        player_ = std::make_unique<SignalPlayer>();
        player_->setSpec(spec_);
    }
    return *player_;
}

const std::vector<OutputDevice>& GeneratorControl::devices()
{
    return ensurePlayer().devices();
}

bool GeneratorControl::startPlayer(QString& error)
{
    std::string text;
    if (ensurePlayer().start(device_, spec_, preferredRate_, text))
        return true;
    error = text.empty() ? QStringLiteral("Не удалось запустить генератор") : QString::fromStdString(text);
    return false;
}

bool GeneratorControl::play()
{
    if (on_)
        return true;
    QString error;
    if (!startPlayer(error)) {
        emit changed();
        emit failed(error);
        return false;
    }
    on_ = true;
    lost_ = false;
    shownUnderruns_ = 0;
    poll_.start();
    emit changed();
    return true;
}

void GeneratorControl::stop()
{
    const bool wasOn = on_;
    on_ = false;
    lost_ = false;
    poll_.stop();
    if (player_)
        player_->stop();
    if (wasOn)
        emit changed();
}

void GeneratorControl::restart()
{
    if (!on_)
        return;
    if (lost_) {
        sinceAttempt_.invalidate();  // the next look tries the new setting
        return;
    }
    player_->stop();
    QString error;
    if (startPlayer(error)) {
        shownUnderruns_ = 0;
        return;
    }
    on_ = false;
    poll_.stop();
    emit changed();
    emit failed(error);
}

void GeneratorControl::setDevice(int device)
{
    if (device == device_)
        return;
    device_ = device;
    restart();
    emit changed();
}

void GeneratorControl::setPreferredRate(int rate)
{
    if (rate <= 0 || rate == preferredRate_)
        return;
    preferredRate_ = rate;
    if (on_ && !lost_ && player_->sampleRate() == rate)
        return;
    restart();
    emit changed();
}

void GeneratorControl::setSpec(const GeneratorSpec& spec)
{
    if (spec == spec_)
        return;
    spec_ = spec;
    if (player_)
        player_->setSpec(spec);
    emit changed();
}

bool GeneratorControl::playing() const
{
    return player_ && player_->playing();
}

int GeneratorControl::sampleRate() const
{
    return player_ ? player_->sampleRate() : 0;
}

std::int64_t GeneratorControl::underruns() const
{
    return player_ ? player_->underruns() : 0;
}

void GeneratorControl::poll()
{
    if (!on_ || !player_)
        return;
    if (!lost_) {
        if (player_->lost()) {
            lost_ = true;
            sinceAttempt_.start();
            emit changed();
        } else if (player_->underruns() != shownUnderruns_) {
            shownUnderruns_ = player_->underruns();
            emit changed();
        }
        return;
    }
    // Half a look early still counts, so that the attempts come once a second, not every 1.5 s.
    if (sinceAttempt_.isValid() && sinceAttempt_.elapsed() < RetryIntervalMs - PollIntervalMs / 2)
        return;
    sinceAttempt_.start();
    QString error;
    if (!startPlayer(error))
        return;
    lost_ = false;
    shownUnderruns_ = 0;
    emit changed();
}

QString GeneratorControl::stateText() const
{
    if (!on_)
        return QStringLiteral("Генератор выключен");
    if (lost_)
        return QStringLiteral("Устройство вывода потеряно: генератор включится, когда оно появится");
    QString text = QStringLiteral("Генератор включен");
    const std::vector<OutputDevice>& list = player_->devices();
    if (device_ >= 0 && device_ < static_cast<int>(list.size()))
        text += QStringLiteral(": ") + QString::fromStdString(list[static_cast<size_t>(device_)].Name);
    if (const int rate = sampleRate(); rate > 0)
        text += QStringLiteral(", ") + QString::fromStdString(GeneralFloatText(rate / 1000.0)) + QStringLiteral(" кГц");
    if (const std::int64_t count = underruns(); count > 0)
        text += QStringLiteral(", пропусков вывода: ") + QString::number(count);
    return text;
}

}  // namespace mirel
