#include "app/MirelApplication.h"

#include "app/QtTranslation.h"

#include <QMessageBox>
#include <exception>

namespace mirel {

MirelApplication::MirelApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    installQtRussian(*this);
    showError = [](const QString& text) { QMessageBox::critical(nullptr, QStringLiteral("Mirel"), text); };
}

bool MirelApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        showError(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        showError(QString());
    }
    return false;
}

bool hasScreen()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    return true;
#endif
}

}  // namespace mirel
