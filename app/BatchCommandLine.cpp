#include "app/BatchCommandLine.h"

#include "common/QuotedText.h"

#include <algorithm>
#include <charconv>

namespace mirel {

namespace {

bool wholeNumber(const std::string& text, int& value, int low, int high)
{
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value >= low && value <= high;
}

}  // namespace

bool isBatchCommand(const std::string& word)
{
    return word == "measure" || word == "snapshot";
}

BatchCommand parseBatchCommand(const std::vector<std::string>& arguments)
{
    BatchCommand result;
    auto fail = [&result](std::string text) {
        result.error = std::move(text);
        return result;
    };
    if (arguments.empty() || !isBatchCommand(arguments[0]))
        return result;
    result.command = arguments[0];
    const bool snapshot = result.command == "snapshot";
    const std::string instrument = arguments.size() < 2 ? std::string() : arguments[1];
    if (snapshot && instrument != "oscilloscope" && instrument != "spectrum" && instrument != "density" &&
        instrument != "transfer")
        return fail("после \"snapshot\" нужен прибор: oscilloscope, spectrum, density или transfer");
    if (!snapshot && instrument != "statistics" && instrument != "readings" && instrument != "transfer")
        return fail("после \"measure\" нужно statistics, readings или transfer");
    result.instrument = instrument;
    const bool readings = instrument == "readings";
    const bool transfer = !snapshot && instrument == "transfer";

    std::vector<std::string> given;
    int sources = 0;
    for (size_t i = 2; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const size_t equals = argument.find('=');
        const std::string name = argument.compare(0, 2, "--") == 0 ? argument.substr(0, equals) : argument;
        static const std::vector<std::string> common{"--input",  "--generator", "--device",     "--rate",
                                                     "--output", "--play",      "--play-device"};
        static const std::vector<std::string> snapshotOnly{"--set", "--size", "--scheme", "--blocks", "--no-band"};
        static const std::vector<std::string> readingsOnly{"--instrument", "--set", "--blocks"};
        static const std::vector<std::string> transferOnly{"--set", "--blocks"};
        static const std::vector<std::string> statisticsOnly{"--duration"};
        const auto& own = snapshot ? snapshotOnly : readings ? readingsOnly : transfer ? transferOnly : statisticsOnly;
        if (std::find(common.begin(), common.end(), name) == common.end() &&
            std::find(own.begin(), own.end(), name) == own.end())
            return fail(name.compare(0, 1, "-") == 0 ? "неизвестный параметр " + Quoted(name) + " для " + result.command
                                                     : "лишний аргумент " + Quoted(argument));
        if (name != "--set" && std::find(given.begin(), given.end(), name) != given.end())
            return fail("параметр " + name + " указан больше одного раза");
        given.push_back(name);
        if (name == "--no-band") {
            if (equals != std::string::npos)
                return fail("параметр --no-band не принимает значения");
            result.band = false;
            continue;
        }

        std::string value;
        if (equals != std::string::npos) {
            value = argument.substr(equals + 1);
        } else if (i + 1 < arguments.size() && arguments[i + 1].compare(0, 2, "--") != 0) {
            value = arguments[++i];
        } else {
            return fail("параметру " + name + " нужно значение");
        }
        if (value.empty())
            return fail("параметру " + name + " нужно значение");

        if (name == "--input") {
            result.inputFile = value;
            ++sources;
        } else if (name == "--generator") {
            std::string error;
            if (!parseGeneratorSpec(value, result.generatorSpec, error))
                return fail("--generator: " + error);
            result.generator = true;
            ++sources;
        } else if (name == "--device") {
            result.device = value;
            ++sources;
        } else if (name == "--play") {
            std::string error;
            if (!parseGeneratorSpec(value, result.playSpec, error))
                return fail("--play: " + error);
            result.play = true;
        } else if (name == "--play-device") {
            result.playDevice = value;
        } else if (name == "--rate") {
            if (!wholeNumber(value, result.rate, 1000, 100000))
                return fail("--rate: " + Quoted(value) + " — не частота от 1000 до 100000 Гц");
        } else if (name == "--duration") {
            int seconds = 0;
            if (!wholeNumber(value, seconds, 1, 100000000))
                return fail("--duration: " + Quoted(value) + " — не целое число секунд от 1");
            result.duration = value;
        } else if (name == "--instrument") {
            if (value != "oscilloscope" && value != "spectrum" && value != "density")
                return fail("--instrument: " + Quoted(value) + " — ни oscilloscope, ни spectrum, ни density");
            result.measured = value;
        } else if (name == "--set") {
            const size_t split = value.find('=');
            if (split == std::string::npos || split == 0 || split + 1 == value.size())
                return fail("--set: " + Quoted(value) + " не в виде CONTROL=VALUE");
            result.settings.emplace_back(value.substr(0, split), value.substr(split + 1));
        } else if (name == "--size") {
            const size_t x = value.find('x');
            if (x == std::string::npos || !wholeNumber(value.substr(0, x), result.width, 1, 10000) ||
                !wholeNumber(value.substr(x + 1), result.height, 1, 10000))
                return fail("--size: " + Quoted(value) + " не в виде WxH (ширина и высота в пикселях)");
        } else if (name == "--scheme") {
            if (value != "white" && value != "black")
                return fail("--scheme: " + Quoted(value) + " — ни white, ни black");
            result.blackScheme = value == "black";
        } else if (name == "--blocks") {
            if (!wholeNumber(value, result.blocks, 1, 1000000))
                return fail("--blocks: " + Quoted(value) + " — не целое число от 1");
        } else {
            result.output = value;
        }
    }
    if (sources != 1)
        return fail("нужен ровно один источник: --input FILE, --generator SPEC или --device NAME-OR-NUMBER");
    if (result.play && result.device.empty())
        return fail("--play только со звуковой картой: источником --device NAME-OR-NUMBER");
    if (!result.playDevice.empty() && !result.play)
        return fail("--play-device только вместе с --play SPEC");
    // One result of the transfer function has nothing to average: its coherence is 1 everywhere.
    if (instrument == "transfer" && std::find(given.begin(), given.end(), "--blocks") == given.end())
        result.blocks = TransferResultsByDefault;
    if (instrument == "statistics" && result.duration.empty())
        return fail("для measure statistics нужен --duration SECONDS");
    if (readings && result.measured.empty())
        return fail("для measure readings нужен --instrument oscilloscope|spectrum|density");
    if (result.output.empty())
        return fail("для " + result.command + " " + result.instrument + " нужен --output FILE");
    return result;
}

}  // namespace mirel
