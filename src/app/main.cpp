#include <QApplication>

#include "app/Main.h"
#include "platform/Platform.h"
#include "windows/Dialoge.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zelmo-LiveText"));
    // The desktop entry's id: Wayland desktops take the window's icon and name from it.
    QGuiApplication::setDesktopFileName(QStringLiteral("de.zelmo.LiveText"));
    // The main window's end ends the program, even while another window is still open.
    QApplication::setQuitOnLastWindowClosed(false);
    // Qt's own dialogs speak German like the rest; without the file they stay English.
    zelmo::app::QtTexteDeutsch(application, QString());

    const auto platform = zelmo::platform::CreateSystemPlatform();
    zelmo::windows::QtDialoge dialoge;
    return zelmo::app::Main(*platform, dialoge);
}
