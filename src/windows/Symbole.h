#pragma once

#include <QIcon>

namespace zelmo::windows {

// The program's icon resources "LIVETEXTICON" and "OPEN3" (our own artwork).
QIcon LiveTextIcon();
QIcon Open3Icon();

}  // namespace zelmo::windows
