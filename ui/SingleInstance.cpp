#include "ui/SingleInstance.h"

#include <QDir>
#include <QStandardPaths>

namespace orven {

SingleInstance::SingleInstance(const QString& folder) {
  QString dir = folder;
  if (dir.isEmpty()) dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (dir.isEmpty()) dir = QDir::tempPath();
  QDir().mkpath(dir);
  path_ = QDir(dir).filePath(QString::fromUtf8(kMainWindowClass) + QStringLiteral(".lock"));
}

bool SingleInstance::AnotherInstanceRunning() {
  if (lock_ && lock_->isLocked()) return false;
  lock_ = std::make_unique<QLockFile>(path_);
  // The lock lives as long as the program: only a dead holder makes it stale, never
  // its age.
  lock_->setStaleLockTime(0);
  if (lock_->tryLock(0)) return false;
  // A lock that cannot be written at all (no such folder, no rights) must not keep the
  // program from starting; only a lock held by a live instance refuses it.
  return lock_->error() == QLockFile::LockFailedError;
}

}  // namespace orven
