#include "library_path.h"

#include <QFile>

namespace gaspipe {

std::string LibraryPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace gaspipe
