#pragma once
// Qt's own texts (the standard dialogs' buttons and labels, context menus, message boxes) in
// Russian like the rest of the program, whatever the user's locale.

class QCoreApplication;

namespace mirel {

// Loads Qt's Russian catalogue from Qt's translations folder and installs it on `app`, which then
// owns it. False, with Qt's texts left in English, when the catalogue is not installed.
bool installQtRussian(QCoreApplication& app);

}  // namespace mirel
