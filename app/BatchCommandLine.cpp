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
    if (snapshot && instrument != "oscilloscope" && instrument != "spectrum" && instrument != "density")
        return fail("\"snapshot\" needs the instrument: oscilloscope, spectrum or density");
    if (!snapshot && instrument != "statistics")
        return fail("\"measure\" needs the instrument to run: measure statistics");
    result.instrument = instrument;

    std::vector<std::string> given;
    int sources = 0;
    for (size_t i = 2; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const size_t equals = argument.find('=');
        const std::string name = argument.compare(0, 2, "--") == 0 ? argument.substr(0, equals) : argument;
        static const std::vector<std::string> common{"--input", "--generator", "--device", "--rate", "--output"};
        static const std::vector<std::string> snapshotOnly{"--set", "--size", "--scheme", "--blocks", "--no-band"};
        const auto& own = snapshot ? snapshotOnly : std::vector<std::string>{"--duration"};
        if (std::find(common.begin(), common.end(), name) == common.end() &&
            std::find(own.begin(), own.end(), name) == own.end())
            return fail(name.compare(0, 1, "-") == 0 ? "unknown option " + Quoted(name) + " for " + result.command
                                                     : "unexpected argument " + Quoted(argument));
        if (name != "--set" && std::find(given.begin(), given.end(), name) != given.end())
            return fail("option " + name + " is given more than once");
        given.push_back(name);
        if (name == "--no-band") {
            if (equals != std::string::npos)
                return fail("option --no-band takes no value");
            result.band = false;
            continue;
        }

        std::string value;
        if (equals != std::string::npos) {
            value = argument.substr(equals + 1);
        } else if (i + 1 < arguments.size() && arguments[i + 1].compare(0, 2, "--") != 0) {
            value = arguments[++i];
        } else {
            return fail("option " + name + " needs a value");
        }
        if (value.empty())
            return fail("option " + name + " needs a value");

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
        } else if (name == "--rate") {
            if (!wholeNumber(value, result.rate, 1000, 100000))
                return fail("--rate: " + Quoted(value) + " is no rate from 1000 to 100000 Hz");
        } else if (name == "--duration") {
            int seconds = 0;
            if (!wholeNumber(value, seconds, 1, 100000000))
                return fail("--duration: " + Quoted(value) + " is no whole number of seconds, at least 1");
            result.duration = value;
        } else if (name == "--set") {
            const size_t split = value.find('=');
            if (split == std::string::npos || split == 0 || split + 1 == value.size())
                return fail("--set: " + Quoted(value) + " is not CONTROL=VALUE");
            result.settings.emplace_back(value.substr(0, split), value.substr(split + 1));
        } else if (name == "--size") {
            const size_t x = value.find('x');
            if (x == std::string::npos || !wholeNumber(value.substr(0, x), result.width, 1, 10000) ||
                !wholeNumber(value.substr(x + 1), result.height, 1, 10000))
                return fail("--size: " + Quoted(value) + " is not WIDTHxHEIGHT in pixels");
        } else if (name == "--scheme") {
            if (value != "white" && value != "black")
                return fail("--scheme: " + Quoted(value) + " is neither white nor black");
            result.blackScheme = value == "black";
        } else if (name == "--blocks") {
            if (!wholeNumber(value, result.blocks, 1, 1000000))
                return fail("--blocks: " + Quoted(value) + " is no whole number from 1");
        } else {
            result.output = value;
        }
    }
    if (sources != 1)
        return fail("give exactly one source: --input FILE, --generator SPEC or --device NAME-OR-NUMBER");
    if (!snapshot && result.duration.empty())
        return fail("measure statistics needs --duration SECONDS");
    if (result.output.empty())
        return fail(result.command + " " + result.instrument + " needs --output FILE");
    return result;
}

}  // namespace mirel
