// orven-cli tosjis [FILE]: every line of the input, as a conversion run reads it, through
// one TAutoSjisConv's ConvertLine, in file order; each result is written followed by CR LF.
// Like a conversion run, the command starts with the shift state off, and the lines of a
// UTF-8 input come from the reader in code page 932 and skip ConvertLine.
#include <ostream>
#include <string>
#include <system_error>

#include "cli/Cli.h"
#include "encoding/sjisconv.h"
#include "engine/LineBlocks.h"
#include "engine/LineReader.h"
#include "engine/Messages.h"

namespace orven::cli {
namespace {

constexpr const char* kToSjisUsage =
    "Usage: orven-cli tosjis [FILE]\n"
    "\n"
    "Converts every line of FILE (or of standard input, when FILE is omitted or \"-\")\n"
    "from 7-bit JIS or EUC-JP to Shift_JIS, deciding the encoding line by line;\n"
    "Shift_JIS lines pass unchanged. A UTF-8 input is converted from UTF-8 instead,\n"
    "each character that Shift_JIS cannot hold becoming \"?\". Lines end at CR or CR LF,\n"
    "and also at a lone LF when the first line end of the input is a LF; Ctrl-Z ends the\n"
    "input. Each converted line is written followed by CR LF to standard output.\n";

}  // namespace

int RunToSjisCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                     std::ostream& err) {
  std::string path = "-";
  bool havePath = false;
  for (const std::string& arg : args) {
    if (arg == "--help" || arg == "-h") {
      out << kToSjisUsage;
      return kExitOk;
    }
    if (arg.size() > 1 && arg.front() == '-') {
      err << "orven-cli tosjis: unknown option '" << arg << "'\n" << kToSjisUsage;
      return kExitUsage;
    }
    if (havePath) {
      err << "orven-cli tosjis: more than one FILE\n" << kToSjisUsage;
      return kExitUsage;
    }
    path = arg;
    havePath = true;
  }

  try {
    TextLineReader reader =
        path == "-" ? TextLineReader::FromStream(in)
                    : TextLineReader::OpenFile(path, TextLineReader::kBlockSize, ProcessorCount());
    const bool convert = !reader.IsUtf8();
    JisShiftState state;
    StreamOutput output(out);
    const std::size_t replaced = ConvertLineBlocks(
        reader, output, state,
        [convert](bool) {
          return [conv = TAutoSjisConv(), convert](char* line, std::size_t size,
                                                   JisShiftState& state) mutable {
            if (!convert) return size;
            conv.ShiftState() = state;
            size = conv.ConvertInPlace(line, size);
            state = conv.ShiftState();
            return size;
          };
        },
        ProcessorCount());
    output.Flush();
    out.flush();
    if (!out) {
      err << "orven-cli tosjis: cannot write the output\n";
      return kExitRunFailed;
    }
    if (replaced > 0) err << UnconvertibleMessage(replaced) << '\n';
  } catch (const std::system_error& e) {
    return ReportInputFailure("tosjis", path, e, err);
  }
  return kExitOk;
}

}  // namespace orven::cli
