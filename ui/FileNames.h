// The window's file-name helpers: the rules of engine/FileNames.h (which orven-cli also
// uses) for the window's QString paths.
#pragma once

#include <QString>

namespace orven {

QString ExtractFilePath(const QString& path);   // up to and including the last "/"
QString ExtractFileName(const QString& path);   // after the last "/"
// Replaces the extension of the path's file name, or appends one when it has none.
QString ChangeFileExt(const QString& path, const QString& extension);

}  // namespace orven
