#pragma once

#include <QString>

// Why a file could not be read or written, in the user's words: the system's
// own texts ("Permission denied", "No such file or directory") are English.
namespace engine {

// Why `path` could not be opened or read.
QString ReadFailureCause(const QString& path);

// Why `path` could not be written, from the state of the path and the
// system's text of the failure (QFileDevice::errorString()).
QString WriteFailureCause(const QString& path, const QString& systemText);

} // namespace engine
