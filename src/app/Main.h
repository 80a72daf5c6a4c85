#pragma once

class QCoreApplication;
class QString;

namespace zelmo::platform {
class Platform;
}
namespace zelmo::windows {
class Dialoge;
}

namespace zelmo::app {

// The start procedure: the environment checks, the catalogues, then the main window until it
// has closed. A failed check shows its message (title "Zelmo-LiveText") and ends the start
// without a window. Returns the process's exit code: 0 after the main window closed, 1 when
// the start ended early. Needs a running QApplication.
int Main(platform::Platform& platform, windows::Dialoge& dialoge);

// Installs Qt's own German texts (file dialogs, Yes/No, OK/Cancel) from `ordner`, or when it is
// empty from Qt's translation folder or the "translations" folder beside the executable.
// False when no translation was found: the program then starts with Qt's English texts.
bool QtTexteDeutsch(QCoreApplication& application, const QString& ordner);

}  // namespace zelmo::app
