#include "app/Application.h"

#include "app/TMainForm.h"
#include "density/TFormPV.h"
#include "oscilloscope/TFormOS.h"
#include "playback/GeneratorControl.h"
#include "spectrum/TFormSP.h"
#include "statistics/TFormER.h"
#include "transfer/TFormTF.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <exception>

namespace mirel {

namespace {

int runWindows(WaveInput& input)
{
    QApplication::setApplicationName(QStringLiteral("Mirel"));
    // Desktops match the windows to the installed desktop entry by this name; the icon is the
    // program's own, compiled in (packaging/CMakeLists.txt).
    QGuiApplication::setDesktopFileName(QStringLiteral(MIREL_APP_ID));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/mirel.png")));
    // The launcher hides while an instrument is shown and instruments close when switching, so
    // the program ends only when a window says so.
    QApplication::setQuitOnLastWindowClosed(false);

    bool endRequested = false;
    LauncherLink launcher;
    launcher.endApplication = [&endRequested] {
        endRequested = true;
        QApplication::exit(0);
    };

    // The generator outlives every window, so that it plays on while the user switches
    // instruments; it stops when the program ends.
    GeneratorControl generator;
    TMainForm MainForm(input, launcher, &generator);
    if (!MainForm.FormCreate())
        return 1;
    TFormOS FormOS(input, launcher);
    TFormSP FormSP(input, launcher);
    TFormPV FormPV(input, launcher);
    TFormER FormER(input, launcher);
    TFormTF FormTF(input, launcher);
    const std::array<InstrumentWindow*, 5> instruments{&FormOS, &FormSP, &FormPV, &FormER, &FormTF};
    MainForm.setInstruments(instruments);

    MainForm.show();
    const int result = endRequested ? 0 : QApplication::exec();

    // Captures end while every window still exists.
    for (InstrumentWindow* window : instruments)
        window->Shutdown();
    return result;
}

}  // namespace

int runApplication(WaveInput& input)
{
    // An error that escapes the windows is shown, and the program ends.
    try {
        return runWindows(input);
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QStringLiteral("Mirel"), QString::fromLocal8Bit(e.what()));
    } catch (...) {
        QMessageBox::critical(nullptr, QStringLiteral("Mirel"), QString());
    }
    return 1;
}

}  // namespace mirel
