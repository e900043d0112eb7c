// Whole conversion runs over arbitrary file contents: "Tag Delete" into a fresh output,
// then "<BR>Tag Only" over the same input into that output again (answering the
// overwrite question with yes). Input: one flag byte (1: widen half-width kana), then
// the contents of the input file. Every run must complete (telling the "?" count of a
// UTF-8 input first, when there is one), write one output line per input line and leave
// the input as it was; without widening, "<BR>Tag Only" must give exactly the escaped
// lines, and plain ASCII text must come back from its HTML by "Tag Delete". Both runs are
// done once more on three worker threads with pieces of a few bytes (the rest of the flag
// byte): output and messages must be the same.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/ConversionOptions.h"
#include "engine/ConversionRun.h"
#include "engine/Messages.h"
#include "fuzz/FuzzSupport.h"

namespace {

using namespace orven;
using namespace orven::fuzz;

constexpr std::size_t kMaxInput = 2048;

// A host that records every call and answers yes.
class RecordingHost final : public ConversionHost {
 public:
  std::vector<std::string> calls;
  void Beep(BeepKind kind) override { calls.push_back(kind == bk_Default ? "Beep:Default" : "Beep:Exclamation"); }
  void Warn(const std::string& text) override { calls.push_back("Warn:" + text); }
  ConfirmAnswer Confirm(const std::string&) override {
    calls.emplace_back("Confirm");
    return ca_Yes;
  }
  void FocusField(FieldKind field) override { calls.push_back(field == ff_Load ? "Focus:Load" : "Focus:Save"); }
  void ShowCompletion() override { calls.emplace_back("Completion"); }
  void OpenDocument(const std::string& path) override { calls.push_back("Open:" + path); }
};

// The window keeps one set of components for all its runs; so does this target, and one
// more whose runs convert their lines on worker threads, in pieces of a few bytes.
ConversionComponents& Components() {
  static ConversionComponents components;
  return components;
}
ConversionComponents& Threaded(std::size_t blockBytes) {
  static ConversionComponents components;
  components.SetThreads(3);
  components.SetBlockBytes(blockBytes);
  return components;
}

std::vector<std::string> Run(ConversionType type, bool widen, const std::string& input,
                             const std::string& output,
                             ConversionComponents& components = Components()) {
  ConversionOptions options;
  options.ConvType = type;
  options.InputPath = input;
  options.OutputPath = output;
  options.WidenKana = widen;
  options.OpenResult = true;  // never honoured by these two types
  RecordingHost host;
  RunConversion(options, host, components);
  return host.calls;
}

// "&", "<", ">" and the double quote as entities; a two-byte character is kept whole.
std::string ReferenceEscape(const std::string& line) {
  std::string out;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (IsSjisLead(line[i]) && i + 1 < line.size()) {
      out += line.substr(i, 2);
      ++i;
      continue;
    }
    switch (line[i]) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += line[i];
    }
  }
  return out;
}

std::size_t CountCrLf(const std::string& s) {
  std::size_t count = 0;
  for (std::size_t at = s.find("\r\n"); at != std::string::npos; at = s.find("\r\n", at + 2)) ++count;
  return count;
}

const std::vector<std::string> kCompleted = {"Beep:Default", "Completion"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 || size > kMaxInput) return 0;
  const bool widen = (data[0] & 1) != 0;
  const std::string contents(AsView(data + 1, size - 1));
  std::size_t replaced = 0;
  const std::vector<std::string> lines = ReferenceRunLines(contents, replaced);
  std::vector<std::string> completed = kCompleted;
  if (replaced > 0) completed.insert(completed.begin(), "Warn:" + UnconvertibleMessage(replaced));
  std::vector<std::string> confirmedAndCompleted = completed;
  confirmedAndCompleted.insert(confirmedAndCompleted.begin(), "Confirm");
  const std::string input = TempFolder() + "/input.txt";
  const std::string output = TempFolder() + "/output.htm";
  WriteFileOrDie(input, contents);
  unlink(output.c_str());

  const std::size_t blockBytes = data[0] >> 1 & 31;
  const std::string threadedOutput = TempFolder() + "/threaded.txt";
  // The same run on worker threads, into a fresh file: the same messages and bytes.
  const auto sameThreaded = [&](ConversionType type) {
    unlink(threadedOutput.c_str());
    FUZZ_CHECK(Run(type, widen, input, threadedOutput, Threaded(blockBytes + 1)) == completed);
    FUZZ_CHECK(ReadFileOrEmpty(threadedOutput) == ReadFileOrEmpty(output));
  };

  FUZZ_CHECK(Run(ct_TagDelete, widen, input, output) == completed);
  FUZZ_CHECK(ReadFileOrEmpty(input) == contents);
  sameThreaded(ct_TagDelete);
  const std::string text = ReadFileOrEmpty(output);
  FUZZ_CHECK(access(output.c_str(), F_OK) == (lines.empty() ? -1 : 0));
  // Decoding JIS or EUC may bring CR LF into a line, never take a line away.
  FUZZ_CHECK(CountCrLf(text) >= lines.size());
  FUZZ_CHECK(text.empty() || text.ends_with("\r\n"));

  FUZZ_CHECK(Run(ct_BrTagOnly, widen, input, output) ==
             (lines.empty() ? completed : confirmedAndCompleted));
  FUZZ_CHECK(ReadFileOrEmpty(input) == contents);
  sameThreaded(ct_BrTagOnly);
  const std::string html = ReadFileOrEmpty(output);
  if (lines.empty()) {
    FUZZ_CHECK(html == text);  // no line, no output: the earlier file stays
    return 0;
  }
  FUZZ_CHECK(CountCrLf(html) == lines.size());
  FUZZ_CHECK(html.ends_with("<BR>\r\n"));
  if (!widen && contents.find('\0') == std::string::npos) {
    std::string expected;
    for (const std::string& line : lines) expected += ReferenceEscape(line) + "<BR>\r\n";
    FUZZ_CHECK(html == expected);
  }
  // Plain ASCII without "&" and without the JIS shift bytes comes back from its HTML.
  const bool plain = std::all_of(contents.begin(), contents.end(), [](char c) {
    return c != '\0' && c != '&' && c != '\x1B' && c != '\x0E' && c != '\x0F' && static_cast<unsigned char>(c) < 0x80;
  });
  if (plain) {
    const std::string back = TempFolder() + "/back.txt";
    unlink(back.c_str());
    FUZZ_CHECK(Run(ct_TagDelete, widen, output, back) == kCompleted);
    std::string expected;
    for (const std::string& line : lines) expected += line + "\r\n";
    FUZZ_CHECK(ReadFileOrEmpty(back) == expected);
  }
  return 0;
}
