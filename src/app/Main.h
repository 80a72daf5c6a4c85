#pragma once

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

}  // namespace zelmo::app
