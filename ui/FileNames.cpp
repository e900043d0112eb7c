#include "ui/FileNames.h"

namespace orven {

QString ExtractFilePath(const QString& path) { return path.left(path.lastIndexOf(u'/') + 1); }

QString ExtractFileName(const QString& path) { return path.mid(path.lastIndexOf(u'/') + 1); }

QString ChangeFileExt(const QString& path, const QString& extension) {
  const QString folder = ExtractFilePath(path);
  const QString name = ExtractFileName(path);
  const qsizetype dot = name.lastIndexOf(u'.');
  return folder + (dot < 0 ? name : name.left(dot)) + extension;
}

}  // namespace orven
