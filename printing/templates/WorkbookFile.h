#pragma once

// Whether a file's bytes can be a spreadsheet workbook the office opens, by
// their structure alone, without an office: an Excel 97 workbook (.xls, a
// compound file holding a "Workbook" or "Book" stream that begins with its
// BOF record), or a zip archive of an Excel 2007 workbook (.xlsx, with
// xl/workbook.xml) or of an OpenDocument spreadsheet (.ods). A file cut
// short, overwritten or of another kind is not.

#include <QByteArray>

namespace templates {

bool IsWorkbook(const QByteArray& bytes);

} // namespace templates
