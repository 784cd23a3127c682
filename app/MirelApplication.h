#pragma once
// The application object: an error that escapes an event handler is shown in a message box, the
// handler ends and the program goes on.

#include <QApplication>
#include <functional>

namespace mirel {

class MirelApplication : public QApplication {
public:
    MirelApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // How an error is shown (tests replace it).
    std::function<void(const QString&)> showError;
};

// Whether Qt has somewhere to open windows: a platform named in QT_QPA_PLATFORM, or on X11/Wayland
// systems a DISPLAY or WAYLAND_DISPLAY.
bool hasScreen();

}  // namespace mirel
