// File-name helpers over whole characters of a path, with "/" as the folder separator.
// The extension is the part of the file name from its last "."; a "." in a folder name
// never counts. QString holds whole characters, so no part of a multibyte character
// can be taken for a separator or a dot.
#pragma once

#include <QString>

namespace orven {

QString ExtractFilePath(const QString& path);   // up to and including the last "/"
QString ExtractFileName(const QString& path);   // after the last "/"
// Replaces the extension of the path's file name, or appends one when it has none.
QString ChangeFileExt(const QString& path, const QString& extension);

}  // namespace orven
