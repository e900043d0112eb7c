#include "engine/FileIdentity.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <linux/magic.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "engine/SystemError.h"

namespace orven {
namespace {

namespace fs = std::filesystem;

// More links than this in a row are a loop; the system gives up at about the same count.
constexpr int kMaxLinks = 40;

// The path with its folder part resolved as far as it exists, its last part kept as it is.
fs::path InResolvedFolder(const fs::path& path) {
  std::error_code error;
  const fs::path folder = fs::weakly_canonical(path.parent_path(), error);
  return error ? path : folder / path.filename();
}

// File systems that compare names without regard to case: FAT and exFAT (memory cards,
// sticks), and SMB shares, which usually live on such a system.
constexpr long kCaseFoldingSystems[] = {MSDOS_SUPER_MAGIC, EXFAT_SUPER_MAGIC, 0xFF534D42L,
                                        0xFE534D42L};

// Whether names in `folder` are compared without regard to case: a folder of such a file
// system, or a case-folding folder of ext4 or f2fs.
bool FoldsCase(const fs::path& folder) {
  const FdHolder fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.get() < 0) return false;
  long flags = 0;
  if (::ioctl(fd.get(), FS_IOC_GETFLAGS, &flags) == 0 && (flags & FS_CASEFOLD_FL) != 0) return true;
  struct statfs info {};
  if (::fstatfs(fd.get(), &info) != 0) return false;
  for (const long type : kCaseFoldingSystems) {
    if (static_cast<long>(info.f_type) == type) return true;
  }
  return false;
}

// The name as such a folder compares it; only ASCII letters are folded, which leaves the
// bytes of UTF-8 characters alone.
std::string FoldedName(std::string name) {
  for (char& c : name) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return name;
}

}  // namespace

FileTarget ResolveTarget(const std::string& name) {
  FileTarget target;
  if (name.empty()) return target;
  std::error_code error;
  fs::path path = fs::absolute(name, error);
  if (error) path = name;
  // The last part may be a link that leads on, perhaps to nothing yet: follow it by hand,
  // since weakly_canonical stops at a dangling one.
  for (int hops = 0; hops < kMaxLinks; ++hops) {
    path = InResolvedFolder(path);
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) break;
    const fs::path next = fs::read_symlink(path, error);
    if (error) break;
    path = next.is_absolute() ? next : path.parent_path() / next;
  }
  fs::path resolved = fs::weakly_canonical(path, error);
  if (error) resolved = path;
  resolved = resolved.lexically_normal();
  struct stat info {};
  if (::stat(name.c_str(), &info) == 0) {
    target.Exists = true;
    target.Device = info.st_dev;
    target.Inode = info.st_ino;
  } else if (FoldsCase(resolved.parent_path())) {
    // A file that does not exist yet has no identity: in a folder that ignores case, two
    // names that differ in case only would still create one file.
    resolved.replace_filename(FoldedName(resolved.filename().string()));
  }
  target.Path = resolved.string();
  return target;
}

FileTarget TargetOfDescriptor(int fd) {
  FileTarget target;
  struct stat info {};
  if (fd >= 0 && ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
    target.Exists = true;
    target.Device = info.st_dev;
    target.Inode = info.st_ino;
  }
  return target;
}

bool SameFile(const FileTarget& first, const FileTarget& second) {
  if (first.Exists && second.Exists)
    return first.Device == second.Device && first.Inode == second.Inode;
  return !first.Path.empty() && first.Path == second.Path;
}

// Equal paths lead to one file, which exists for both or for neither: a path found in
// byPath_ is one file with the target whatever the identities say.
void FileTargetIndex::Add(const FileTarget& target, std::size_t number) {
  if (!target.Path.empty()) byPath_.emplace(target.Path, number);
  if (target.Exists) byIdentity_.emplace(std::pair{target.Device, target.Inode}, number);
}

std::optional<std::size_t> FileTargetIndex::Find(const FileTarget& target) const {
  if (target.Exists) {
    const auto at = byIdentity_.find({target.Device, target.Inode});
    if (at != byIdentity_.end()) return at->second;
  }
  const auto at = target.Path.empty() ? byPath_.end() : byPath_.find(target.Path);
  if (at != byPath_.end()) return at->second;
  return std::nullopt;
}

}  // namespace orven
