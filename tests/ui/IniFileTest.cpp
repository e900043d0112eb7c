#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>
#include <csignal>
#include <fstream>
#include <iterator>

#include "ui/FileNames.h"
#include "ui/IniFile.h"

namespace orven::test {
namespace {

class IniFileTest : public ::testing::Test {
 protected:
  std::string Path() const { return dir_.filePath("t.ini").toStdString(); }
  void Put(const std::string& bytes) const { std::ofstream(Path(), std::ios::binary) << bytes; }
  std::string Get() const {
    std::ifstream in(Path(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  QTemporaryDir dir_;
};

TEST_F(IniFileTest, NamesMatchWithoutRegardToCaseAndBlanksAreTrimmed) {
  Put("junk=1\n[form]\n  LEFT = 12 \n[Other]\nleft=9\n[FORM]\nleft=5\n");
  IniFile ini(Path());
  EXPECT_EQ(ini.ReadString("Form", "Left"), "12");
  EXPECT_EQ(ini.ReadInteger("fOrM", "lEfT"), 12);
  EXPECT_EQ(ini.ReadString("Form", "Top", "dflt"), "dflt");
  EXPECT_EQ(ini.ReadInteger("Form", "Top"), -1);
  EXPECT_EQ(ini.ReadString("None", "Left"), "");
}

TEST_F(IniFileTest, WritesReplaceInPlaceAppendToTheSectionAndKeepEveryOtherLine) {
  Put("; settings\r\n[Form]\r\nLEFT=1\r\nTop=2\r\n\r\n[Title]\r\nString=x\r\n");
  IniFile ini(Path());
  ASSERT_TRUE(ini.WriteInteger("form", "Left", -30));
  ASSERT_TRUE(ini.WriteString("Form", "Width", "7"));
  ASSERT_TRUE(ini.WriteString("Save", "Check1", "1"));
  EXPECT_EQ(Get(),
            "; settings\r\n[Form]\r\nLeft=-30\r\nTop=2\r\nWidth=7\r\n\r\n[Title]\r\nString=x\r\n"
            "[Save]\r\nCheck1=1\r\n");
}

TEST_F(IniFileTest, AMissingFileIsCreatedAndAFolderIsNotWritten) {
  IniFile ini(Path());
  ASSERT_TRUE(ini.WriteString("Title", "String", "題名"));
  EXPECT_EQ(Get(), "[Title]\nString=題名\n");
  EXPECT_EQ(ini.ReadString("Title", "String"), "題名");
  IniFile folder(dir_.path().toStdString());
  EXPECT_FALSE(folder.WriteString("A", "B", "C"));
  EXPECT_EQ(folder.ReadString("A", "B", "d"), "d");
}

// Files beyond `bytes` cannot be written while this lives: a write past it fails with
// EFBIG (SIGXFSZ is ignored meanwhile), as on a full disk.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    previous_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, previous_);
  }

 private:
  rlimit old_{};
  void (*previous_)(int) = nullptr;
};

TEST_F(IniFileTest, AWriteThatFailsMidwayLeavesTheOldFileWhole) {
  const std::string old = "; mine\n[Form]\nLeft=1\n[Other]\nKeep=this line\n";
  Put(old);
  std::vector<IniEntry> entries;
  for (int i = 0; i < 40; ++i) entries.push_back({"Form", "Key" + std::to_string(i), "some value"});
  entries.push_back({"Form", "Left", "2"});
  IniFile ini(Path());
  {
    const FileSizeLimit limit(old.size() + 20);  // room for part of the new text only
    EXPECT_FALSE(ini.WriteStrings(entries));
  }
  EXPECT_EQ(Get(), old);
  EXPECT_EQ(ini.ReadString("Form", "Left"), "1");
  EXPECT_EQ(ini.ReadString("Other", "Keep"), "this line");
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"t.ini"});
  ASSERT_TRUE(ini.WriteStrings(entries));  // all of them in one write
  EXPECT_EQ(ini.ReadString("Form", "Left"), "2");
  EXPECT_EQ(ini.ReadString("Form", "Key39"), "some value");
}

TEST_F(IniFileTest, AReplacementKeepsThePermissionsAndTheSymbolicLink) {
  ASSERT_TRUE(QDir(dir_.path()).mkdir("real"));
  const std::string target = dir_.filePath("real/t.ini").toStdString();
  std::ofstream(target) << "[A]\nB=1\n";
  ASSERT_EQ(chmod(target.c_str(), 0640), 0);
  ASSERT_EQ(symlink("real/t.ini", Path().c_str()), 0);
  IniFile ini(Path());
  ASSERT_TRUE(ini.WriteString("A", "B", "2"));
  struct stat st {};
  ASSERT_EQ(lstat(Path().c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(Get(), "[A]\nB=2\n");
  if (geteuid() != 0) {  // a read-only file stays as it is (root may write it anyway)
    ASSERT_EQ(chmod(target.c_str(), 0440), 0);
    EXPECT_FALSE(ini.WriteString("A", "B", "3"));
    EXPECT_EQ(Get(), "[A]\nB=2\n");
  }
}

TEST_F(IniFileTest, ValuesStopAtALineBreakAndReadsAreCutAtWholeCharacters) {
  IniFile ini(Path());
  ASSERT_TRUE(ini.WriteString("S", "K", "one\ntwo"));
  EXPECT_EQ(ini.ReadString("S", "K"), "one");
  std::string kana;
  for (int i = 0; i < 400; ++i) kana += "あ";  // 3 bytes each
  ASSERT_TRUE(ini.WriteString("S", "K", kana));
  EXPECT_EQ(ini.ReadString("S", "K").size(), 1023u);
  ASSERT_TRUE(ini.WriteString("S", "K", "x" + kana));
  EXPECT_EQ(ini.ReadString("S", "K"), "x" + kana.substr(0, 1020));
}

TEST_F(IniFileTest, AFileThatIsNotUtf8IsReadAsCodePage932AndRewrittenInUtf8) {
  Put("[Title]\nString=\x95\x5C\x8E\xA6\n[Body]\nColor1=red\n");  // 表示
  IniFile ini(Path());
  EXPECT_EQ(ini.ReadString("Title", "String"), "表示");
  ASSERT_TRUE(ini.WriteString("Body", "Color1", "blue"));
  EXPECT_EQ(Get(), "[Title]\nString=表示\n[Body]\nColor1=blue\n");
}

struct IntegerCase {
  const char* text;
  int value;
};

const IntegerCase kIntegerCases[] = {
    {"0", 0},
    {"42", 42},
    {"-42", -42},
    {"+7", 7},
    {"0x20", 32},
    {"0X1f", 31},
    {"$20", 32},
    {"-$20", -32},
    {"$FFFFFFFF", -1},
    {"0x7fffffff", 2147483647},
    {"0x", -1},
    {"$", -1},
    {"", -1},
    {"abc", -1},
    {"1.5", -1},
    {"0x1g", -1},
    {"2147483647", 2147483647},
    {"-2147483648", -2147483648LL},
    {"2147483648", -1},
    {"99999999999", -1},
    {"0x123456789", -1},
    {" 5", -1},
};

TEST(ParseIniInteger, DecimalHexadecimalAndEverythingElseMinusOne) {
  for (const IntegerCase& c : kIntegerCases) EXPECT_EQ(ParseIniInteger(c.text), c.value) << c.text;
}

struct FileNameCase {
  const char* path;
  const char* folder;
  const char* name;
  const char* htm;
};

const FileNameCase kFileNameCases[] = {
    {"/a/b.txt", "/a/", "b.txt", "/a/b.htm"},
    {"/a.d/b", "/a.d/", "b", "/a.d/b.htm"},
    {"b", "", "b", "b.htm"},
    {"/a/", "/a/", "", "/a/.htm"},
    {"/表示/ソ.十.txt", "/表示/", "ソ.十.txt", "/表示/ソ.十.htm"},
    {"/x/😀.md", "/x/", "😀.md", "/x/😀.htm"},
};

TEST(FileNames, SplitAtTheLastSlashAndChangeTheExtensionOfTheNameOnly) {
  for (const FileNameCase& c : kFileNameCases) {
    const QString path = QString::fromUtf8(c.path);
    EXPECT_EQ(ExtractFilePath(path), QString::fromUtf8(c.folder)) << c.path;
    EXPECT_EQ(ExtractFileName(path), QString::fromUtf8(c.name)) << c.path;
    EXPECT_EQ(ChangeFileExt(path, ".htm"), QString::fromUtf8(c.htm)) << c.path;
  }
}

}  // namespace
}  // namespace orven::test
