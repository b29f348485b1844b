#pragma once

// The fonts built with the program (the bar-code font of the codes sheet) and
// where an office finds them when it starts.

#include <QString>
#include <QStringList>

namespace automation {

// The fonts built with the program: the files of the fonts folder beside it.
QStringList ProgramFontFiles();

// The user's own font folder, which every office of the user reads when it
// starts: $XDG_DATA_HOME/fonts, by default ~/.local/share/fonts.
QString UserFontFolder();

// Copies the files into the folder; a font already there of the same size
// is left as it is. False when one could not be written.
bool InstallFonts(const QStringList& files, const QString& folder);

} // namespace automation
