#include "engine/ConversionRun.h"

#include <optional>
#include <stdexcept>

#include "engine/HtmlDocument.h"
#include "engine/LineTransforms.h"
#include "engine/Messages.h"
#include "engine/TagDelete.h"
#include "engine/TextFiles.h"

namespace orven {

std::size_t RunBrTagOnly(const ConversionOptions& options, TAWKStr& awk) {
  TextLineReader input = OpenInputLines(options);
  OutputLineWriter output(options);
  std::string line;
  while (input.ReadLine(line)) output.WriteOutputLine(MakeBrLine(awk, line, options.WidenKana));
  output.Close();
  return input.ReplacedChars();
}

namespace {

// The body of the type: the number of characters of a UTF-8 input that became "?", or
// nothing when it failed. Every file it opened is closed on return.
std::optional<std::size_t> RunBody(const ConversionOptions& options,
                                   ConversionComponents& components) {
  try {
    switch (options.ConvType) {
      case ct_TagDelete:
        return RunTagDelete(options, components.AWKStr1(), components.AutoSjisConv1());
      case ct_BrTagOnly:
        return RunBrTagOnly(options, components.AWKStr1());
      case ct_CreateHtml:
        return RunCreateHtml(options, components.AWKStr1());
    }
    throw std::invalid_argument("unknown conversion type");
  } catch (...) {
    return std::nullopt;
  }
}

}  // namespace

RunOutcome RunConversion(const ConversionOptions& options, ConversionHost& host,
                         ConversionComponents& components) {
  if (options.InputStream == nullptr && !FileExists(options.InputPath)) {
    host.Beep(bk_Exclamation);
    host.Warn(std::string(kMsgLoadFileName));
    host.FocusField(ff_Load);
    return RunOutcome::InputMissing;
  }
  if (options.OutputStream == nullptr && FileExists(options.OutputPath) &&
      host.Confirm(std::string(kMsgOverwrite)) != ca_Yes) {
    host.FocusField(ff_Save);
    return RunOutcome::NotOverwritten;
  }
  const std::optional<std::size_t> replaced = RunBody(options, components);
  if (!replaced) {
    host.Beep(bk_Exclamation);
    host.Warn(std::string(kMsgSaveFileName));
    host.FocusField(ff_Save);
    return RunOutcome::Failed;
  }
  if (*replaced > 0) host.Warn(UnconvertibleMessage(*replaced));
  host.Beep(bk_Default);
  host.ShowCompletion();
  if (options.ConvType == ct_CreateHtml && options.OpenResult) host.OpenDocument(options.OutputPath);
  return RunOutcome::Done;
}

}  // namespace orven
