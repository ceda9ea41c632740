// A file name as the project's libraries take it (settings, network, file
// writing): the local 8-bit encoding on POSIX, as the system names files;
// UTF-8 on Windows, which those libraries turn into the UTF-16 of the Windows
// API. Qt's own encodeName gives the ANSI code page there, which cannot hold
// every name (and is not UTF-8 on a Chinese Windows). One file per platform.
#pragma once

#include <QString>

#include <string>

namespace gaspipe {

std::string LibraryPath(const QString& path);

}  // namespace gaspipe
