// The one answer to "are these two names one file?", for a run (is the input also the
// output?) and for orven-cli's batch mode (do two outputs meet in one file, is an input
// also an output?).
// A name leads to its target: the path that remains when every symbolic link on the way
// has been followed, a dangling one too (its target is the file that writing through it
// would create), with "." and ".." resolved. Two names are one file when their targets
// exist and have one identity (device and inode: hard links, any spelling), or when the
// target paths are equal (files that do not exist yet; in a folder that ignores case, such
// as one on FAT, the last part of the path is compared without regard to ASCII case). A
// name that is empty leads nowhere and is never one file with anything.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <utility>

namespace orven {

struct FileTarget {
  std::string Path;     // absolute, links followed; empty for an empty name or a descriptor
  bool Exists = false;  // the target exists: Device and Inode hold its identity
  dev_t Device = 0;
  ino_t Inode = 0;
};

// Where `name` leads.
FileTarget ResolveTarget(const std::string& name);
// The regular file open on `fd`, by its identity only; nothing (Exists false) when `fd`
// is not open or is no regular file (a pipe or a terminal is never one file with a name).
FileTarget TargetOfDescriptor(int fd);

bool SameFile(const FileTarget& first, const FileTarget& second);
inline bool SameFile(const std::string& first, const std::string& second) {
  return SameFile(ResolveTarget(first), ResolveTarget(second));
}

// Many targets, each with a number, and which of them is one file with another: SameFile
// over all of them at once, in logarithmic time each (orven-cli's batch mode plans
// thousands of files).
class FileTargetIndex {
 public:
  void Add(const FileTarget& target, std::size_t number);
  // The number of a target added before that is one file with `target`.
  std::optional<std::size_t> Find(const FileTarget& target) const;

 private:
  std::map<std::string, std::size_t> byPath_;
  std::map<std::pair<dev_t, ino_t>, std::size_t> byIdentity_;  // the targets that exist
};

}  // namespace orven
