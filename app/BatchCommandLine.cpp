#include "BatchCommandLine.h"

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
    return word == "measure";
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
    if (arguments.size() < 2 || arguments[1] != "statistics")
        return fail("\"measure\" needs the instrument to run: measure statistics");
    result.instrument = arguments[1];

    std::vector<std::string> given;
    int sources = 0;
    for (size_t i = 2; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const size_t equals = argument.find('=');
        const std::string name = argument.compare(0, 2, "--") == 0 ? argument.substr(0, equals) : argument;
        static const std::vector<std::string> known{"--input", "--generator", "--device", "--rate", "--duration",
                                                    "--output"};
        if (std::find(known.begin(), known.end(), name) == known.end())
            return fail(name.compare(0, 1, "-") == 0 ? "unknown option \"" + name + "\" for " + result.command
                                                     : "unexpected argument \"" + argument + "\"");
        if (std::find(given.begin(), given.end(), name) != given.end())
            return fail("option " + name + " is given more than once");
        given.push_back(name);

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
                return fail("--rate: \"" + value + "\" is no rate from 1000 to 100000 Hz");
        } else if (name == "--duration") {
            int seconds = 0;
            if (!wholeNumber(value, seconds, 1, 100000000))
                return fail("--duration: \"" + value + "\" is no whole number of seconds, at least 1");
            result.duration = value;
        } else {
            result.output = value;
        }
    }
    if (sources != 1)
        return fail("give exactly one source: --input FILE, --generator SPEC or --device NAME-OR-NUMBER");
    if (result.duration.empty())
        return fail("measure statistics needs --duration SECONDS");
    if (result.output.empty())
        return fail("measure statistics needs --output FILE");
    return result;
}

}  // namespace mirel
