// The frame of a run: name checks, the overwrite question, failures, completion, browser.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <sstream>

#include "engine/ConversionRun.h"
#include "engine/Messages.h"
#include "engine/TextFiles.h"
#include "tests/engine/EngineTestSupport.h"

namespace orven {
namespace {

using testing::CrLfLines;
using testing::LoadWarning;
using testing::OverwriteQuestion;
using testing::ReadFile;
using testing::RecordingHost;
using testing::SaveWarning;
using testing::TempDir;
using testing::WriteFile;
using Calls = std::vector<std::string>;

const Calls kCompleted = {"Beep:Default", "Completion"};
const Calls kLoadRefused = {"Beep:Exclamation", LoadWarning(), "Focus:Load"};
const Calls kFailed = {"Beep:Exclamation", SaveWarning(), "Focus:Save"};

constexpr ConversionType kAllTypes[] = {ct_CreateHtml, ct_BrTagOnly, ct_TagDelete};

struct Fixture {
  TempDir dir;
  ConversionComponents components;
  ConversionOptions options;

  Fixture(ConversionType type, const std::string& input) {
    options.ConvType = type;
    options.InputPath = dir.File("in.txt");
    options.OutputPath = dir.File("out.htm");
    WriteFile(options.InputPath, input);
  }
  Calls Run(ConfirmAnswer answer = ca_Yes) {
    RecordingHost host(answer);
    RunConversion(options, host, components);
    return host.calls;
  }
  std::string Output() const { return ReadFile(options.OutputPath); }
};

TEST(ConversionRun, MissingInputIsRefusedBeforeAnythingElse) {
  for (ConversionType type : kAllTypes) {
    TempDir dir;
    struct Case {
      std::string input;
      const char* what;
    };
    const Case cases[] = {{dir.File("absent.txt"), "absent"}, {dir.File(""), "a folder"}, {"", "empty name"}};
    for (const Case& c : cases) {
      SCOPED_TRACE(c.what);
      ConversionComponents components;
      ConversionOptions options;
      options.ConvType = type;
      options.InputPath = c.input;
      options.OutputPath = dir.File("out.htm");
      WriteFile(options.OutputPath, "keep");  // existing output: still no question
      RecordingHost host;
      RunConversion(options, host, components);
      EXPECT_EQ(host.calls, kLoadRefused);
      EXPECT_EQ(ReadFile(options.OutputPath), "keep");
    }
  }
}

// The outcome a run returns agrees with what it told its host, on every path.
TEST(ConversionRun, ReturnsTheOutcomeOfEachPath) {
  enum Setup { kFresh, kNoInput, kOutputExists, kOutputInMissingFolder };
  struct Case {
    Setup setup;
    ConfirmAnswer answer;
    RunOutcome::Kind outcome;
    Calls calls;
  };
  const Calls overwritten = {OverwriteQuestion(), "Beep:Default", "Completion"};
  const Calls refused = {OverwriteQuestion(), "Focus:Save"};
  const Case cases[] = {
      {kFresh, ca_Yes, RunOutcome::Done, kCompleted},
      {kNoInput, ca_Yes, RunOutcome::InputMissing, kLoadRefused},
      {kOutputExists, ca_Yes, RunOutcome::Done, overwritten},
      {kOutputExists, ca_No, RunOutcome::NotOverwritten, refused},
      {kOutputExists, ca_Cancel, RunOutcome::NotOverwritten, refused},
      {kOutputInMissingFolder, ca_Yes, RunOutcome::Failed, kFailed},
  };
  for (ConversionType type : kAllTypes) {
    for (const Case& c : cases) {
      SCOPED_TRACE(::testing::Message()
                   << "type " << type << ", setup " << c.setup << ", answer " << c.answer);
      Fixture f(type, "x\r\n");
      if (c.setup == kNoInput) std::filesystem::remove(f.options.InputPath);
      if (c.setup == kOutputExists) WriteFile(f.options.OutputPath, "keep");
      if (c.setup == kOutputInMissingFolder)
        f.options.OutputPath = f.dir.File("no-such-folder/out.htm");
      RecordingHost host(c.answer);
      const RunOutcome outcome = RunConversion(f.options, host, f.components);
      EXPECT_EQ(outcome.End, c.outcome);
      EXPECT_EQ(host.calls, c.calls);
      // A failure carries its reason as values: the system's error and the file.
      EXPECT_EQ(outcome.Error, c.outcome == RunOutcome::Failed ? ENOENT : 0);
      EXPECT_EQ(outcome.Path, c.outcome == RunOutcome::Failed ? f.options.OutputPath : "");
    }
  }
}

TEST(ConversionRun, BothNamesMissingGivesOnlyTheInputWarning) {
  ConversionComponents components;
  ConversionOptions options;
  RecordingHost host;
  RunConversion(options, host, components);
  EXPECT_EQ(host.calls, kLoadRefused);
}

TEST(ConversionRun, RefusedOverwriteWritesNothingAndPlaysNoSound) {
  for (ConfirmAnswer answer : {ca_No, ca_Cancel}) {
    for (ConversionType type : kAllTypes) {
      Fixture f(type, "text\r\n");
      WriteFile(f.options.OutputPath, "keep");
      EXPECT_EQ(f.Run(answer), (Calls{OverwriteQuestion(), "Focus:Save"}));
      EXPECT_EQ(f.Output(), "keep");
    }
  }
}

TEST(ConversionRun, ConfirmedOverwriteReplacesTheOutput) {
  Fixture f(ct_BrTagOnly, "a\r\n");
  WriteFile(f.options.OutputPath, "old content that is longer");
  Calls expected = {OverwriteQuestion()};
  expected.insert(expected.end(), kCompleted.begin(), kCompleted.end());
  EXPECT_EQ(f.Run(ca_Yes), expected);
  EXPECT_EQ(f.Output(), "a<BR>\r\n");
}

TEST(ConversionRun, OutputInAMissingFolderFailsForEveryType) {
  for (ConversionType type : kAllTypes) {
    Fixture f(type, "line\r\n");
    f.options.OutputPath = f.dir.File("no-such-folder/out.htm");
    f.options.OpenResult = true;
    EXPECT_EQ(f.Run(), kFailed) << type;
  }
}

TEST(ConversionRun, EmptyOutputNameFails) {
  Fixture f(ct_CreateHtml, "line\r\n");
  f.options.OutputPath = "";
  EXPECT_EQ(f.Run(), kFailed);
}

TEST(ConversionRun, EmptyInputCreatesNoOutputYetCompletes) {
  for (ConversionType type : {ct_BrTagOnly, ct_TagDelete}) {
    Fixture f(type, "");
    EXPECT_EQ(f.Run(), kCompleted);
    EXPECT_FALSE(std::filesystem::exists(f.options.OutputPath));
    // Also into a missing folder: no line, so nothing fails.
    f.options.OutputPath = f.dir.File("no-such-folder/out.htm");
    EXPECT_EQ(f.Run(), kCompleted);
  }
  Fixture kept(ct_BrTagOnly, "");
  WriteFile(kept.options.OutputPath, "keep");
  EXPECT_EQ(kept.Run().back(), "Completion");
  EXPECT_EQ(kept.Output(), "keep");
}

TEST(ConversionRun, EmptyInputStillGivesTheWholeDocument) {
  Fixture f(ct_CreateHtml, "");
  f.options.UseTitle = false;
  EXPECT_EQ(f.Run(), kCompleted);
  EXPECT_EQ(CrLfLines(f.Output()), (Calls{"<HTML>", "<BODY>", "</BODY>", "</HTML>"}));
}

// When the first line end is a LF, every LF ends a line, in every type; the lines written
// end in CR LF. Former fault: the whole file was one line, and "Tag Delete" decoded it by
// its ASCII start as JIS, so that ム (83 80) became a NUL that cut off the rest.
TEST(ConversionRun, LfLineEndsEndLinesInEveryType) {
  const std::string input = "<html>\n<p>\x83\x80\x83\x8A & b</p>\n\nlast";  // ムリ
  Fixture br(ct_BrTagOnly, input);
  EXPECT_EQ(br.Run(), kCompleted);
  EXPECT_EQ(br.Output(),
            "&lt;html&gt;<BR>\r\n&lt;p&gt;\x83\x80\x83\x8A &amp; b&lt;/p&gt;<BR>\r\n"
            "<BR>\r\nlast<BR>\r\n");
  Fixture html(ct_CreateHtml, input);
  html.options.UseTitle = false;
  EXPECT_EQ(html.Run(), kCompleted);
  EXPECT_EQ(CrLfLines(html.Output()), (Calls{"<HTML>", "<BODY>", "&lt;html&gt;<BR>",
                                             "&lt;p&gt;\x83\x80\x83\x8A &amp; b&lt;/p&gt;<BR>",
                                             "<BR>", "last<BR>", "</BODY>", "</HTML>"}));
  Fixture tags(ct_TagDelete, input);
  EXPECT_EQ(tags.Run(), kCompleted);
  EXPECT_EQ(tags.Output(), "\r\n\x83\x80\x83\x8A & b\r\n\r\nlast\r\n");
}

// UTF-8 input is written in code page 932; what it cannot hold becomes "?", and the count
// is told once, between the finished output and the completion. "Tag Delete" does not run
// the encoding detection over it (which would take "??ｱｲ" for EUC-JP). A large input, whose
// blocks of lines worker threads convert, counts every block once.
TEST(ConversionRun, Utf8InputIsConvertedAndItsLossCountedOnce) {
  const std::string text = "<b>日本😀</b>\né€ｱｲ\n";
  const struct {
    ConversionType type;
    std::string head, lines, tail;
  } cases[] = {
      {ct_BrTagOnly, "", "&lt;b&gt;\x93\xFA\x96\x7B?&lt;/b&gt;<BR>\r\n??\x83\x41\x83\x43<BR>\r\n",
       ""},
      {ct_CreateHtml, "<HTML>\r\n<BODY>\r\n",
       "&lt;b&gt;\x93\xFA\x96\x7B?&lt;/b&gt;<BR>\r\n??\x83\x41\x83\x43<BR>\r\n",
       "</BODY>\r\n</HTML>\r\n"},
      {ct_TagDelete, "", "\x93\xFA\x96\x7B?\r\n??\xB1\xB2\r\n", ""},
  };
  for (const std::size_t copies : {1, 40000}) {
    std::string input = "\xEF\xBB\xBF";
    for (std::size_t i = 0; i < copies; ++i) input += text;
    for (const auto& c : cases) {
      Fixture f(c.type, input);
      f.components.SetThreads(4);
      f.options.UseTitle = false;
      f.options.OpenResult = true;
      Calls expected = {UnconvertibleMessage(3 * copies), "Beep:Default", "Completion"};
      expected[0].insert(0, "Warn:");
      if (c.type == ct_CreateHtml) expected.push_back("Open:" + f.options.OutputPath);
      EXPECT_EQ(f.Run(), expected) << c.type;
      std::string output = c.head;
      for (std::size_t i = 0; i < copies; ++i) output += c.lines;
      EXPECT_EQ(f.Output(), output + c.tail) << c.type;
    }
  }
  Fixture fits(ct_TagDelete, "<p>日本</p>\n");
  EXPECT_EQ(fits.Run(), kCompleted);
  EXPECT_EQ(fits.Output(), "\x93\xFA\x96\x7B\r\n");
}

TEST(ConversionRun, CtrlZEndsTheInput) {
  Fixture f(ct_BrTagOnly, "one\r\ntwo\x1A" "three\r\nfour\r\n");
  EXPECT_EQ(f.Run(), kCompleted);
  EXPECT_EQ(f.Output(), "one<BR>\r\ntwo<BR>\r\n");
}

TEST(ConversionRun, BrowserOpensOnlyAfterCreateHtml) {
  for (ConversionType type : kAllTypes) {
    Fixture f(type, "x\r\n");
    f.options.OpenResult = true;
    Calls expected = kCompleted;
    if (type == ct_CreateHtml) expected.push_back("Open:" + f.options.OutputPath);
    EXPECT_EQ(f.Run(), expected) << type;
    f.options.OpenResult = false;
    std::filesystem::remove(f.options.OutputPath);
    EXPECT_EQ(f.Run(), kCompleted) << type;
  }
}

TEST(ConversionRun, BrTagOnlyEscapesAndWidensEachLine) {
  Fixture f(ct_BrTagOnly, "<a href=\"x\">&amp;'</a>\r\n\r\n\xB6\xDE\xB7\xDE\xB8\xDE\r\n");  // ｶﾞｷﾞｸﾞ
  EXPECT_EQ(f.Run(), kCompleted);
  EXPECT_EQ(CrLfLines(f.Output()),
            (Calls{"&lt;a href=&quot;x&quot;&gt;&amp;amp;'&lt;/a&gt;<BR>", "<BR>",
                   "\x83\x4B\x83\x4D\x83\x4F<BR>"}));  // ガギグ
  f.options.WidenKana = false;
  EXPECT_EQ(f.Run(), (Calls{OverwriteQuestion(), "Beep:Default", "Completion"}));
  EXPECT_EQ(CrLfLines(f.Output())[2], "\xB6\xDE\xB7\xDE\xB8\xDE<BR>");
}

// Input and output naming one file: the result equals converting a copy of the input,
// whichever name leads to the file.
TEST(ConversionRun, OutputThatIsTheInputConvertsTheWholeInput) {
  // Larger than any read-ahead buffer, so that only reading everything first keeps it.
  std::string longText;
  for (int i = 0; i < 3000; ++i) longText += "line <" + std::to_string(i) + ">" + std::string(150, 'x') + "\r\n";
  for (ConversionType type : kAllTypes) {
    for (int spelling = 0; spelling < 3; ++spelling) {
      SCOPED_TRACE(spelling);
      Fixture reference(type, longText);
      ASSERT_EQ(reference.Run(), kCompleted);

      Fixture f(type, longText);
      if (spelling == 0) f.options.OutputPath = f.options.InputPath;
      if (spelling == 1) {
        f.options.OutputPath = f.dir.File("link.txt");
        ASSERT_EQ(::symlink(f.options.InputPath.c_str(), f.options.OutputPath.c_str()), 0);
      }
      if (spelling == 2) f.options.OutputPath = f.dir.File("./in.txt");
      EXPECT_EQ(f.Run(), (Calls{OverwriteQuestion(), "Beep:Default", "Completion"}));
      EXPECT_EQ(ReadFile(f.options.InputPath), reference.Output()) << type;
    }
  }
}

TEST(ConversionRun, EveryFileIsClosedWhenTheRunEnds) {
  for (ConversionType type : kAllTypes) {
    Fixture ok(type, "a\r\nb\r\n");
    const int before = testing::OpenFdCount();
    EXPECT_EQ(ok.Run(), kCompleted);
    EXPECT_EQ(testing::OpenFdCount(), before);

    Fixture failing(type, "a\r\nb\r\n");
    failing.options.OutputPath = failing.dir.File("no-such-folder/out.htm");
    EXPECT_EQ(failing.Run(), kFailed);
    EXPECT_EQ(testing::OpenFdCount(), before);
  }
}

// Output is written in blocks; the last block and the close can still fail, and that
// failure is the run's. The lines finished before it are in the file all the same.
TEST(OutputLineWriter, AFailingCloseIsAFailure) {
  TempDir dir;
  RunOutput options{dir.File("out.txt")};
  const int before = testing::OpenFdCount();
  OutputLineWriter writer(options, [](int fd) {
    ::close(fd);
    errno = EIO;
    return -1;
  });
  writer.WriteOutputLine("a");
  writer.WriteOutputLine("b");
  EXPECT_THROW(writer.Close(), std::system_error);
  EXPECT_EQ(ReadFile(options.Path), "a\r\nb\r\n");
  EXPECT_EQ(testing::OpenFdCount(), before);
}

// A stream with its descriptor (orven-cli's standard output) is closed by the run before it
// reports completion: a close that fails is the run's failure, never after a success.
TEST(ConversionRun, AStreamsDescriptorIsClosedBeforeCompletion) {
  Fixture f(ct_BrTagOnly, "x\r\n");
  std::ostringstream out;
  int pipeFds[2];
  ASSERT_EQ(::pipe(pipeFds), 0);
  RunStreams streams;
  streams.Output = &out;
  streams.OutputName = "standard output";
  streams.OutputFd = pipeFds[1];
  RecordingHost host;
  EXPECT_EQ(RunConversion(f.options, host, f.components, streams).End, RunOutcome::Done);
  EXPECT_EQ(host.calls, kCompleted);
  EXPECT_EQ(out.str(), "x<BR>\r\n");
  EXPECT_EQ(::fcntl(pipeFds[1], F_GETFD), -1);  // closed by the run
  ::close(pipeFds[0]);

  streams.OutputFd = 1000;  // not open: its close fails
  ASSERT_EQ(::fcntl(streams.OutputFd, F_GETFD), -1);
  RecordingHost failing;
  const RunOutcome outcome = RunConversion(f.options, failing, f.components, streams);
  EXPECT_EQ(failing.calls, kFailed);
  EXPECT_EQ(outcome.Error, EBADF);
  EXPECT_EQ(outcome.Path, "standard output");
}

TEST(ConversionRun, InputThatCannotBeOpenedFailsAfterTheOpeningPieces) {
  Fixture f(ct_CreateHtml, "");
  // A socket exists as a file but cannot be opened for reading.
  std::filesystem::remove(f.options.InputPath);
  const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(f.options.InputPath.size(), sizeof(address.sun_path));
  f.options.InputPath.copy(address.sun_path, f.options.InputPath.size());
  ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
  f.options.UseTitle = false;
  EXPECT_EQ(f.Run(), kFailed);
  ::close(sock);
  EXPECT_EQ(CrLfLines(f.Output()), (Calls{"<HTML>", "<BODY>"}));
}

}  // namespace
}  // namespace orven
