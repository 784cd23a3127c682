#include "app/CommandLine.h"

#include "app/ControlHelp.h"
#include "common/QuotedText.h"

#include <set>

#ifndef MIREL_VERSION
#define MIREL_VERSION "1.27"
#endif

namespace mirel {

namespace {

bool startsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& arguments)
{
    CommandLine result;
    std::set<std::string> given;

    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const size_t equals = argument.find('=');
        const bool isOption = startsWith(argument, "-") && argument != "-";
        const std::string name = isOption && equals != std::string::npos ? argument.substr(0, equals) : argument;
        const bool inlineValue = isOption && equals != std::string::npos;

        // The value of an option that takes one: after "=" or the next argument.
        auto takeValue = [&](std::string& value) {
            if (inlineValue) {
                value = argument.substr(equals + 1);
                return true;
            }
            if (i + 1 >= arguments.size() || startsWith(arguments[i + 1], "--")) {
                result.error = "option " + name + " needs a value (" +
                               (name == "--input" ? std::string("--input FILE") : std::string("--generator SPEC")) +
                               ")";
                return false;
            }
            value = arguments[++i];
            return true;
        };
        auto refuseValue = [&] {
            if (!inlineValue)
                return false;
            result.error = "option " + name + " takes no value";
            return true;
        };
        // Every option may be given once; -h is --help.
        auto refuseRepeat = [&] {
            if (given.insert(name == "-h" ? "--help" : name).second)
                return false;
            result.error = "option " + name + " is given more than once";
            return true;
        };

        if (name == "--help" || name == "-h") {
            if (refuseRepeat() || refuseValue())
                return result;
            result.help = true;
        } else if (name == "--version") {
            if (refuseRepeat() || refuseValue())
                return result;
            result.version = true;
        } else if (name == "--list-devices") {
            if (refuseValue())
                return result;
            result.listDevices = true;
        } else if (name == "--demo") {
            if (refuseRepeat() || refuseValue())
                return result;
            result.generator = true;
        } else if (name == "--generator") {
            std::string spec;
            if (refuseRepeat() || !takeValue(spec))
                return result;
            std::string error;
            if (!parseGeneratorSpec(spec, result.generatorSpec, error)) {
                result.error = "--generator: " + error;
                return result;
            }
            result.generator = true;
        } else if (name == "--input") {
            if (refuseRepeat() || !takeValue(result.inputFile))
                return result;
            if (result.inputFile.empty()) {
                result.error = "option --input needs a file name";
                return result;
            }
        } else if (isOption) {
            result.error = "unknown option " + Quoted(name);
            return result;
        } else {
            result.error = "unexpected argument " + Quoted(argument);
            return result;
        }
    }
    return result;
}

CommandLine parseCommandLine(int argc, const char* const* argv)
{
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i]);
    return parseCommandLine(arguments);
}

// The manual page is made from this text at build time (packaging/ManualPage.h has the layout
// rules it must keep: headings at the margin ending in ":", list entries two spaces in).
std::string helpText()
{
    return "Usage: mirel [--demo] [--generator SPEC] [--input FILE] [--list-devices]\n"
           "\n"
           "Mirel turns the two inputs of a sound card into a measuring instrument: an\n"
           "oscilloscope, a spectrum analyser, an amplitude probability-density display\n"
           "and a timed error-rate measurement. Channel A is the left input, B the right;\n"
           "a full-scale sample stands for 1 volt. Without options the device list offers\n"
           "the sound cards only.\n"
           "\n"
           "When the list is empty, the program says so (\"Звуковая карта не обнаружена\")\n"
           "and ends; --demo or --input FILE start it without a sound card.\n"
           "\n"
           "Options:\n"
           "  --demo             add the built-in test-signal generator to the device list\n"
           "                     (A: 1 kHz sine of 0.5 V with a little noise,\n"
           "                     B: 10 pulses per second of 0.8 V, 1 ms wide)\n"
           "                       example: mirel --demo\n"
           "  --generator SPEC   add the generator, playing SPEC; channels not named keep\n"
           "                     the signals above. Periodic signals start 7/16 of a\n"
           "                     sample into their period, so that no sample of a sine\n"
           "                     whose period is a whole, half or quarter number of\n"
           "                     samples falls on a zero crossing\n"
           "                       example: mirel --generator A=sine:440:0.3,B=noise:0.2\n"
           "  --input FILE       add an audio file (WAV, FLAC, OGG, ...), played in a loop\n"
           "                     in real time; the device is named after the file\n"
           "                       example: mirel --input recording.wav\n"
           "  --list-devices     print the device list and exit: each device with its\n"
           "                     number, name and capture rate (a file's own up to\n"
           "                     48000 Hz, else the highest it offers, at most 48000\n"
           "                     Hz); --demo, --generator and --input add theirs\n"
           "                       example: mirel --list-devices\n"
           "  --help             show this text and exit\n"
           "                       example: mirel --help\n"
           "  --version          show the version and exit\n"
           "                       example: mirel --version\n"
           "  A value may also follow the option after \"=\" (--input=recording.wav). The\n"
           "  device list holds the sound cards first, then the generator, then the file.\n"
           "\n"
           "Measuring without a window:\n"
           "  SOURCE is --input FILE, --generator SPEC or --device NAME-OR-NUMBER (as\n"
           "  --list-devices numbers and names them). A file or the generator is measured\n"
           "  as fast as it can be, a sound card in real time; --rate defaults to the\n"
           "  capture rate --list-devices shows for the source. The instruments are the\n"
           "  windows' own, on no screen, and the results are those the windows show.\n"
           "  snapshot           mirel snapshot oscilloscope|spectrum|density SOURCE\n"
           "                     [--rate HZ] [--set CONTROL=VALUE]... [--size WxH]\n"
           "                     [--scheme white|black] [--blocks N] [--no-band]\n"
           "                     --output FILE:\n"
           "                     sets the window's controls in the order given, lets N\n"
           "                     blocks through (default 1) and saves the display: a\n"
           "                     picture with the title band (.png, .bmp, .jpg; --no-band\n"
           "                     leaves it out) or the displayed numbers (.csv). --size\n"
           "                     is the window's size, at least 500x450 (the default)\n"
           "                       example: mirel snapshot spectrum --input a.wav --output a.png\n"
           "  measure            mirel measure statistics SOURCE [--rate HZ]\n"
           "                     --duration SECONDS --output FILE:\n"
           "                     runs one error count of SECONDS (whole seconds) and saves\n"
           "                     the results file; prints its three rows as UTF-8 text.\n"
           "                     Each 0.2 s block is counted on its own: an edge that\n"
           "                     falls exactly between two blocks is not counted, nor a\n"
           "                     pulse lower than half the tallest in its block\n"
           "                       example: mirel measure statistics --input a.wav --duration 60 --output a.txt\n" +
           controlsHelpText() +
           "  Exit status 2 also for an unknown control or a value out of range, 1 when\n"
           "  the run fails (a silent device, an output that cannot be written). On\n"
           "  failure no file is written; an existing output stays as it was.\n"
           "\n"
           "Counting errors:\n"
           "  The error count (the window \"Расчет ошибок\" and measure statistics) takes\n"
           "  each pulse on a channel, that is each period of its signal, for one signal\n"
           "  sent with an error. The signals sent are not measured: the equipment under\n"
           "  test is assumed to send 654 a second, and \"Всего передано сигналов\" is 654\n"
           "  times the seconds measured. Feed each channel the error output of that\n"
           "  equipment, one pulse per error; a 0.2 s block that swings less than 20 of\n"
           "  the 256 levels (about 0.16 V peak to peak) counts nothing. The estimate of\n"
           "  the error probability is the errors divided by the signals sent, so it\n"
           "  exceeds 1 when more than 654 pulses a second arrive: the demo's 1 kHz sine\n"
           "  on channel A counts about 5000 errors against 3270 signals in 5 s, an\n"
           "  estimate of about 1.5.\n"
           "\n"
           "Generator signals:\n"
           "  SPEC is a comma-separated list of CHANNEL=SIGNAL[+noise:RMS], CHANNEL being A\n"
           "  or B, each named at most once; SIGNAL is one of:\n"
           "  sine[:FREQ[:AMPL]]              sine of peak AMPL (default 1000 Hz, 0.5 V)\n"
           "  square[:FREQ[:AMPL]]            +AMPL for the first half of each period, -AMPL\n"
           "                                  for the second (default 1000 Hz, 0.5 V)\n"
           "  pulse[:FREQ[:AMPL[:WIDTH_MS]]]  FREQ pulses per second from 0 up to AMPL\n"
           "                                  (default 10 Hz, 0.8 V, 1 ms)\n"
           "  noise[:RMS]                     Gaussian white noise (default 0.1 V RMS)\n"
           "  silence                         0 V\n"
           "  FREQ in hertz (above 0, at most 50000), AMPL and RMS in volts (0 to 1; 1 V is\n"
           "  full scale), WIDTH_MS in milliseconds (shorter than the period). +noise alone\n"
           "  adds 0.1 V RMS. A channel that SPEC names plays exactly what is written; one\n"
           "  it does not name keeps its default. Values beyond full scale are clipped.\n"
           "  Example: A=square:250:0.3+noise:0.02,B=silence\n"
           "\n"
           "Audio files:\n"
           "  A mono file feeds both channels; of more channels, the first two are A and B.\n"
           "  A file of up to 48000 Hz is captured at its own rate, sample for sample (a\n"
           "  44100 Hz file at 44100 Hz); a file above 48000 Hz at 48000 Hz. --rate may ask\n"
           "  any rate from 1000 Hz up to the file's own. At another rate than its own the\n"
           "  file is converted by libsoxr (very high quality): frequencies stay true, levels\n"
           "  up to 0.9 of half the capture rate, and what lies above half of it is filtered\n"
           "  out.\n"
           "\n"
           "Exit status:\n"
           "  0   success, also after --help, --version and --list-devices\n"
           "  1   no input device was found, or an error ended the program\n"
           "  2   a wrong command line, or an input that cannot be opened; the reason is\n"
           "      printed on standard error\n"
           "\n"
           "Files:\n"
           "  Mirel reads no configuration file and keeps no settings between runs; the\n"
           "  only file it reads is the one given with --input.\n";
}

std::string versionText()
{
    return std::string("Mirel ") + MIREL_VERSION + "\n";
}

}  // namespace mirel
