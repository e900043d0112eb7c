#include "engine/ConversionRun.h"

#include <optional>
#include <stdexcept>

#include "engine/BrTagOnly.h"
#include "engine/HtmlDocument.h"
#include "engine/Messages.h"
#include "engine/TagDelete.h"
#include "engine/TextFiles.h"

namespace orven {
namespace {

// The body of the type: the number of characters of a UTF-8 input that became "?", or
// nothing when it failed. Every file it opened is closed on return.
std::optional<std::size_t> RunBody(const ConversionOptions& options, RunFiles& files,
                                   ConversionComponents& components) {
  try {
    files.ReadAhead();
    switch (options.ConvType) {
      case ct_TagDelete:
        return RunTagDelete(files, components.AWKStr1(), components.AutoSjisConv1());
      case ct_BrTagOnly:
        return RunBrTagOnly(options, files, components.AWKStr1());
      case ct_CreateHtml:
        return RunCreateHtml(options, files, components.AWKStr1());
    }
    throw std::invalid_argument("unknown conversion type");
  } catch (...) {
    return std::nullopt;
  }
}

}  // namespace

RunOutcome RunConversion(const ConversionOptions& options, ConversionHost& host,
                         ConversionComponents& components, const RunStreams& streams) {
  RunFiles files(options, streams);
  if (files.InputMissing()) {
    host.Beep(bk_Exclamation);
    host.Warn(std::string(kMsgLoadFileName));
    host.FocusField(ff_Load);
    return RunOutcome::InputMissing;
  }
  if (files.OutputExists() && host.Confirm(std::string(kMsgOverwrite)) != ca_Yes) {
    host.FocusField(ff_Save);
    return RunOutcome::NotOverwritten;
  }
  const std::optional<std::size_t> replaced = RunBody(options, files, components);
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
