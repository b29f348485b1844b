#pragma once

#include <QString>
#include <QtGlobal>

// The one rule naming a template's cache file: the decimal UNICNAME and
// ".xls". The template engine writes the file under this name and the
// start-up clean-up keeps exactly the files so named.
QString TemplateCacheFileName(qint64 unicname);
