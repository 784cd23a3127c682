// The program's entry: a subcommand without a window, the answers of the command line, or the
// launcher and its instrument windows.
#include "app/Application.h"
#include "app/BatchRun.h"
#include "app/CommandLine.h"
#include "app/InputSetup.h"
#include "app/MirelApplication.h"
#include "app/PlayCommand.h"
#include "playback/SignalPlayer.h"

#include <QLoggingCategory>
#include <iostream>

namespace {

// Exit status for a wrong command line or an input that cannot be opened.
constexpr int UsageError = 2;

}  // namespace

int main(int argc, char** argv)
{
    // The image libraries' own complaints stay off the terminal: a failed save is reported by the
    // program itself (QT_LOGGING_RULES still turns them on).
    QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio*=false"));
    if (argc > 1 && mirel::isPlayCommand(argv[1])) {
        const mirel::PlayCommand command = mirel::parsePlayCommand(std::vector<std::string>(argv + 1, argv + argc));
        if (!command.error.empty()) {
            std::cerr << "mirel: " << command.error << "\nСправка по параметрам: mirel --help\n";
            return UsageError;
        }
        return mirel::runPlay(command);
    }
    if (argc > 1 && mirel::isBatchCommand(argv[1])) {
        const mirel::BatchCommand command = mirel::parseBatchCommand(std::vector<std::string>(argv + 1, argv + argc));
        if (!command.error.empty()) {
            std::cerr << "mirel: " << command.error << "\nСправка по параметрам: mirel --help\n";
            return UsageError;
        }
        return mirel::runBatch(command, argv[0]);
    }
    // The command line is read before Qt sees it, so that --help, --version and mistakes are
    // answered without a display.
    const mirel::CommandLine options = mirel::parseCommandLine(argc, argv);
    if (!options.error.empty()) {
        std::cerr << "mirel: " << options.error << "\nСправка по параметрам: mirel --help\n";
        return UsageError;
    }
    if (options.help) {
        std::cout << mirel::helpText();
        return 0;
    }
    if (options.version) {
        std::cout << mirel::versionText();
        return 0;
    }

    std::string error;
    const auto input = mirel::buildInput(options, error);
    if (!input) {
        std::cerr << "mirel: " << error << '\n';
        return UsageError;
    }
    if (options.listDevices) {
        // The inputs as the launcher numbers them, then the outputs, marked as such.
        const std::string list = mirel::deviceListText(*input) + mirel::outputDeviceListText(mirel::SignalPlayer());
        if (list.empty()) {
            std::cerr << mirel::noSoundCardText();
            return 1;
        }
        std::cout << list;
        return 0;
    }

    // Without a screen Qt would abort with its own English message: say what works instead.
    if (!mirel::hasScreen()) {
        std::cerr << "mirel: окна открыть негде: нет графического экрана (DISPLAY и WAYLAND_DISPLAY пусты).\n"
                     "Без экрана работают mirel snapshot и mirel measure (mirel --help).\n";
        return 1;
    }
    mirel::MirelApplication app(argc, argv);

    // The windows: the launcher and the instruments are created and run from here.
    return mirel::runApplication(*input);
}
