#include "ui/SingleInstance.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "tests/ui/ShellTestApp.h"

namespace orven {
namespace {

class SingleInstanceTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::EnsureApplication(); }
  QTemporaryDir dir_;
};

TEST_F(SingleInstanceTest, ASecondStartIsRefusedWhileTheFirstRuns) {
  ASSERT_TRUE(dir_.isValid());
  auto first = std::make_unique<SingleInstance>(dir_.path());
  EXPECT_FALSE(first->AnotherInstanceRunning());
  EXPECT_FALSE(first->AnotherInstanceRunning()) << "asking again keeps the lock";
  EXPECT_TRUE(first->LockPath().endsWith(QStringLiteral("/TfForm1.lock")));

  SingleInstance second(dir_.path());
  EXPECT_TRUE(second.AnotherInstanceRunning());
  EXPECT_TRUE(second.AnotherInstanceRunning());

  first.reset();  // the first instance ends
  SingleInstance third(dir_.path());
  EXPECT_FALSE(third.AnotherInstanceRunning());
}

TEST_F(SingleInstanceTest, AnOldLockOfARunningInstanceStillRefuses) {
  SingleInstance first(dir_.path());
  ASSERT_FALSE(first.AnotherInstanceRunning());
  QFile lock(first.LockPath());
  ASSERT_TRUE(lock.open(QIODevice::ReadWrite));
  ASSERT_TRUE(lock.setFileTime(QDateTime::currentDateTime().addDays(-2),
                               QFileDevice::FileModificationTime));
  lock.close();
  SingleInstance second(dir_.path());
  EXPECT_TRUE(second.AnotherInstanceRunning());
}

TEST_F(SingleInstanceTest, ALockLeftByACrashedInstanceDoesNotBlock) {
  // A lock as a running instance writes it, then rewritten for a process that has ended.
  QByteArray contents;
  {
    SingleInstance model(dir_.path());
    ASSERT_FALSE(model.AnotherInstanceRunning());
    QFile f(model.LockPath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    contents = f.readAll();
  }
  QProcess ended;
  ended.start(QStringLiteral("true"), {});
  ASSERT_TRUE(ended.waitForStarted());
  const qint64 deadPid = ended.processId();
  ASSERT_TRUE(ended.waitForFinished());
  contents = QByteArray::number(deadPid) + contents.mid(contents.indexOf('\n'));

  const QString path = dir_.filePath(QStringLiteral("TfForm1.lock"));
  {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(contents);
  }
  SingleInstance next(dir_.path());
  EXPECT_FALSE(next.AnotherInstanceRunning());
  SingleInstance another(dir_.path());
  EXPECT_TRUE(another.AnotherInstanceRunning()) << "the stale lock was taken over";
}

TEST_F(SingleInstanceTest, AFolderThatCannotHoldTheLockDoesNotPreventTheStart) {
  QFile plain(dir_.filePath(QStringLiteral("plain-file")));
  ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
  plain.close();
  SingleInstance instance(plain.fileName() + QStringLiteral("/sub"));
  EXPECT_FALSE(instance.AnotherInstanceRunning());
}

}  // namespace
}  // namespace orven
