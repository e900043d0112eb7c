// The second-instance check. The desktop has no lookup of windows by class name, so a
// running instance is recognised by a per-user lock named after the main window's class,
// "TfForm1", in the user's runtime folder. The lock records the holder's process; a lock
// left behind by an instance that crashed is recognised as stale and taken over, so it
// never blocks the next start.
#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

namespace orven {

inline constexpr char kMainWindowClass[] = "TfForm1";
inline constexpr char kAlreadyRunningText[] = "すでに起動されています。";
inline constexpr char kWarningCaption[] = "警告";

class SingleInstance {
 public:
  // `folder` holds the lock; empty means the user's runtime folder.
  explicit SingleInstance(const QString& folder = {});
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // Takes the lock unless a live instance holds it. True when another instance runs.
  // Once taken, the lock is held until this object goes.
  bool AnotherInstanceRunning();

  QString LockPath() const { return path_; }

 private:
  QString path_;
  std::unique_ptr<QLockFile> lock_;
};

}  // namespace orven
