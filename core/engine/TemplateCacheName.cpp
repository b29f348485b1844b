#include "TemplateCacheName.h"

QString TemplateCacheFileName(qint64 unicname) { return QString::number(unicname) + QStringLiteral(".xls"); }
