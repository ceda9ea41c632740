#include "library_path.h"

namespace gaspipe {

std::string LibraryPath(const QString& path) { return path.toStdString(); }

}  // namespace gaspipe
