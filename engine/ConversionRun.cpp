#include "engine/ConversionRun.h"

#include <stdexcept>

#include "engine/HtmlDocument.h"
#include "engine/LineTransforms.h"
#include "engine/Messages.h"
#include "engine/TagDelete.h"
#include "engine/TextFiles.h"

namespace orven {

void RunBrTagOnly(const ConversionOptions& options, TAWKStr& awk) {
  TextLineReader input = OpenInputLines(options);
  OutputLineWriter output(options);
  std::string line;
  while (input.ReadLine(line)) output.WriteOutputLine(MakeBrLine(awk, line, options.WidenKana));
  output.Close();
}

namespace {

// The body of the type; false when it failed. Every file it opened is closed on return.
bool RunBody(const ConversionOptions& options, ConversionComponents& components) {
  try {
    switch (options.ConvType) {
      case ct_TagDelete:
        RunTagDelete(options, components.AWKStr1(), components.AutoSjisConv1());
        return true;
      case ct_BrTagOnly:
        RunBrTagOnly(options, components.AWKStr1());
        return true;
      case ct_CreateHtml:
        RunCreateHtml(options, components.AWKStr1());
        return true;
    }
    throw std::invalid_argument("unknown conversion type");
  } catch (...) {
    return false;
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
  if (!RunBody(options, components)) {
    host.Beep(bk_Exclamation);
    host.Warn(std::string(kMsgSaveFileName));
    host.FocusField(ff_Save);
    return RunOutcome::Failed;
  }
  host.Beep(bk_Default);
  host.ShowCompletion();
  if (options.ConvType == ct_CreateHtml && options.OpenResult) host.OpenDocument(options.OutputPath);
  return RunOutcome::Done;
}

}  // namespace orven
