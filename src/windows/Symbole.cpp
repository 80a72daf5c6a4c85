#include "windows/Symbole.h"

#include <QString>

// Resources of a static library must be registered by name from the global namespace,
// before the first window asks for an icon.
static void InitZelmoResources() {
    Q_INIT_RESOURCE(zelmo);
}

namespace zelmo::windows {

namespace {

QIcon Symbol(const char* name) {
    static const bool registered = (InitZelmoResources(), true);
    (void)registered;
    return QIcon(QStringLiteral(":/icons/") + QString::fromLatin1(name));
}

}  // namespace

QIcon LiveTextIcon() {
    return Symbol("LIVETEXTICON.png");
}

QIcon Open3Icon() {
    return Symbol("OPEN3.png");
}

}  // namespace zelmo::windows
