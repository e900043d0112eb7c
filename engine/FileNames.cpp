#include "engine/FileNames.h"

namespace orven {
namespace {

std::size_t NameStart(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? 0 : slash + 1;
}

}  // namespace

std::string ExtractFilePath(std::string_view path) {
  return std::string(path.substr(0, NameStart(path)));
}

std::string ExtractFileName(std::string_view path) {
  return std::string(path.substr(NameStart(path)));
}

std::string ChangeFileExt(std::string_view path, std::string_view extension) {
  const std::size_t start = NameStart(path);
  const std::size_t dot = path.rfind('.');
  const std::size_t end = dot != std::string_view::npos && dot >= start ? dot : path.size();
  std::string changed(path.substr(0, end));
  changed += extension;
  return changed;
}

std::string_view OutputExtension(ConversionType type) {
  return type == ct_TagDelete ? ".txt" : ".htm";
}

}  // namespace orven
