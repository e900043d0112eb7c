// Helpers of the engine tests: a host that records every call, temporary folders, and
// whole-file reads and writes.
#pragma once

#include <dirent.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "engine/ConversionOptions.h"
#include "engine/ConversionRun.h"

namespace orven::testing {

// Records every host call as one string, e.g. "Beep:Exclamation", "Warn:<text>".
class RecordingHost final : public ConversionHost {
 public:
  explicit RecordingHost(ConfirmAnswer answer = ca_Yes) : answer_(answer) {}

  void Beep(BeepKind kind) override {
    calls.push_back(kind == bk_Exclamation ? "Beep:Exclamation" : "Beep:Default");
  }
  void Warn(const std::string& text) override { calls.push_back("Warn:" + text); }
  ConfirmAnswer Confirm(const std::string& text) override {
    calls.push_back("Confirm:" + text);
    return answer_;
  }
  void FocusField(FieldKind field) override {
    calls.push_back(field == ff_Load ? "Focus:Load" : "Focus:Save");
  }
  void ShowCompletion() override { calls.push_back("Completion"); }
  void OpenDocument(const std::string& path) override { calls.push_back("Open:" + path); }

  std::vector<std::string> calls;

 private:
  ConfirmAnswer answer_;
};

// A fresh folder under the system's temporary folder, removed with its content.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "orven-engine-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The lines of a CR LF file as written by a run (every line ends in CR LF).
inline std::vector<std::string> CrLfLines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t from = 0;
  for (std::size_t at; (at = bytes.find("\r\n", from)) != std::string::npos; from = at + 2) {
    lines.push_back(bytes.substr(from, at - from));
  }
  if (from != bytes.size()) lines.push_back("<unterminated>" + bytes.substr(from));
  return lines;
}

// Number of file descriptors the process has open.
inline int OpenFdCount() {
  int count = 0;
  if (DIR* dir = ::opendir("/proc/self/fd")) {
    while (::readdir(dir) != nullptr) ++count;
    ::closedir(dir);
  }
  return count;
}

// The window's message texts, as the host receives them.
inline std::string LoadWarning() { return "Warn:LoadFileNameが間違っています。\r確認してください。"; }
inline std::string SaveWarning() {
  return "Warn:SaveFileNameが間違っています。\rフォルダ名をよく確かめてください。";
}
inline std::string OverwriteQuestion() { return "Confirm:同じファイル名があります。\r上書きしますか？"; }

}  // namespace orven::testing
