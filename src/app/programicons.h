#pragma once

#include <QIcon>

namespace Sprelio {

/// One of the program's pictures, drawn at build time from app/icons/<name>.svg at one and at two
/// device pixels per pixel; an empty icon for a name without a picture.
QIcon programIcon(const char *name);

} // namespace Sprelio
