// The play command: its words, the run that lasts until its time is up or a signal ends it, and
// the output devices as the command line names and lists them.
#include "app/PlayCommand.h"

#include "app/EndingSignals.h"
#include "common/QuotedText.h"
#include "playback/SignalPlayer.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <iostream>
#include <thread>

namespace mirel {

namespace {

constexpr int RunFailed = 1;
constexpr double MaxDuration = 1e8;  // seconds, more than three years

bool positiveSeconds(const std::string& text, double& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && std::isfinite(value) && value > 0 &&
           value <= MaxDuration;
}

std::string secondsText(double seconds)
{
    char text[32];
    const auto [end, error] = std::to_chars(text, text + sizeof text, seconds);
    return error == std::errc() ? std::string(text, end) : std::string();
}

}  // namespace

bool isPlayCommand(const std::string& word)
{
    return word == "play";
}

PlayCommand parsePlayCommand(const std::vector<std::string>& arguments)
{
    PlayCommand result;
    auto fail = [&result](std::string text) {
        result.error = std::move(text);
        return result;
    };
    bool spec = false, device = false, duration = false;
    for (size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument.compare(0, 1, "-") != 0) {
            if (spec)
                return fail("лишний аргумент " + Quoted(argument));
            std::string error;
            if (!parseGeneratorSpec(argument, result.spec, error))
                return fail("play: " + error);
            spec = true;
            continue;
        }
        const size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        if (name != "--device" && name != "--duration")
            return fail("неизвестный параметр " + Quoted(name) + " для play");
        bool& given = name == "--device" ? device : duration;
        if (given)
            return fail("параметр " + name + " указан больше одного раза");
        given = true;
        std::string value;
        if (equals != std::string::npos)
            value = argument.substr(equals + 1);
        else if (i + 1 < arguments.size() && arguments[i + 1].compare(0, 2, "--") != 0)
            value = arguments[++i];
        if (value.empty())
            return fail("параметру " + name + " нужно значение");
        if (name == "--device")
            result.device = value;
        else if (!positiveSeconds(value, result.duration))
            return fail("--duration: " + Quoted(value) + " — не число секунд больше 0");
    }
    if (!spec)
        return fail("после \"play\" нужны сигналы SPEC, например: mirel play A=sine:1000:0.5");
    return result;
}

bool startOutput(SignalPlayer& player, const std::string& device, const GeneratorSpec& spec, int rate,
                 std::string& error)
{
    if (device.empty() && player.devices().empty()) {
        error = "устройство вывода не обнаружено";
        return false;
    }
    // The default output is the first of the list.
    const int number = device.empty() ? 0 : player.findDevice(device);
    if (number < 0) {
        error = "нет устройства вывода " + Quoted(device) + " (их список: mirel --list-devices)";
        return false;
    }
    return player.start(number, spec, rate, error);
}

int runPlay(const PlayCommand& command)
{
    CatchStopSignals();
    SignalPlayer player;
    std::string error;
    if (!startOutput(player, command.device, command.spec, 0, error)) {
        std::cerr << "mirel: " << error << '\n';
        return RunFailed;
    }
    const std::string& name = player.devices()[static_cast<size_t>(player.device())].Name;
    std::cerr << "mirel: воспроизведение на «" << name << "», " << player.sampleRate() << " Гц"
              << (command.duration > 0 ? ", " + secondsText(command.duration) + " с"
                                       : std::string("; остановка — Ctrl+C"))
              << '\n';

    using Clock = std::chrono::steady_clock;
    const auto end =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(command.duration));
    while (!StopRequested() && (command.duration == 0 || Clock::now() < end)) {
        if (player.lost()) {
            std::cerr << "mirel: устройство вывода «" << name << "» недоступно; воспроизведение прекращено\n";
            return RunFailed;
        }
        const auto left = command.duration == 0 ? Clock::duration::max() : end - Clock::now();
        std::this_thread::sleep_for(std::min<Clock::duration>(left, std::chrono::milliseconds(10)));
    }
    player.stop();
    if (player.underruns() > 0)
        std::cerr << "mirel: пропусков вывода: " << player.underruns()
                  << " (звук прерывался; компьютер не успевал готовить сигнал)\n";
    return 0;
}

std::string outputDeviceListText(const SignalPlayer& player)
{
    std::string text;
    const auto& devices = player.devices();
    for (size_t id = 0; id < devices.size(); ++id) {
        const int rate = player.outputRate(static_cast<int>(id));
        text += "вывод " + std::to_string(id + 1) + ": " + devices[id].Name + "  " +
                (rate > 0 ? std::to_string(rate) + " Гц" : std::string("воспроизведение невозможно")) +
                (devices[id].IsDefault ? "  (по умолчанию)" : "") + "\n";
    }
    return text;
}

}  // namespace mirel
