#include "ui/FileNames.h"

#include "engine/FileNames.h"

// The rules live in engine/FileNames; here they only meet QString (UTF-8 is the platform's
// encoding of file names).
namespace orven {
namespace {

std::string Bytes(const QString& text) { return text.toUtf8().toStdString(); }
QString Text(const std::string& bytes) {
  return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace

QString ExtractFilePath(const QString& path) { return Text(ExtractFilePath(Bytes(path))); }

QString ExtractFileName(const QString& path) { return Text(ExtractFileName(Bytes(path))); }

QString ChangeFileExt(const QString& path, const QString& extension) {
  return Text(ChangeFileExt(Bytes(path), Bytes(extension)));
}

}  // namespace orven
