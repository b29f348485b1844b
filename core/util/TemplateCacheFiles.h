#pragma once

#include <QSet>
#include <QString>

// The template cache: the spreadsheet files of the print templates, written
// beside the program so that the spreadsheet program can open them. Each
// database has a folder of its own under "templates" in the program's folder,
// so two databases never share a file, and the start-up clean-up removes only
// files of that folder.

// The cache folder of the database reached by `connection` (the connection
// string as the database was given it), with a trailing '/'.
QString TemplateCacheFolder(const QString& connection);

// The cache file's name of a template (TemplateCacheFileName) is the engine's rule.
#include "engine/TemplateCacheName.h"

// Removes every "*.xls" of the folder whose name (compared exactly) is not
// among `keep`; read-only files included. Nothing outside the folder is touched.
void RemoveStaleTemplateFiles(const QString& folder, const QSet<QString>& keep);
