#include "engine/ConversionRun.h"

#include <cerrno>
#include <new>
#include <stdexcept>
#include <variant>

#include "engine/BrTagOnly.h"
#include "engine/HtmlDocument.h"
#include "engine/Messages.h"
#include "engine/SystemError.h"
#include "engine/TagDelete.h"
#include "engine/TextFiles.h"

namespace orven {
namespace {

// The body of the type: the number of characters of a UTF-8 input that became "?", or the
// failed outcome with its reason. Every file it opened is closed on return.
std::variant<std::size_t, RunOutcome> RunBody(const ConversionOptions& options, RunFiles& files,
                                              ConversionComponents& components) {
  const auto failed = [](int error, std::string path) {
    return RunOutcome{RunOutcome::Failed, error, std::move(path)};
  };
  try {
    files.ReadAhead();
    switch (options.ConvType) {
      case ct_TagDelete:
        return RunTagDelete(files, components);
      case ct_BrTagOnly:
        return RunBrTagOnly(options, files, components);
      case ct_CreateHtml:
        return RunCreateHtml(options, files, components);
    }
    throw std::invalid_argument("unknown conversion type");
  } catch (const FileError& e) {
    return failed(e.code().value(), e.Path);
  } catch (const std::bad_alloc&) {
    return failed(ENOMEM, {});
  } catch (...) {
    return failed(0, {});
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
  auto result = RunBody(options, files, components);
  if (RunOutcome* failure = std::get_if<RunOutcome>(&result)) {
    host.Beep(bk_Exclamation);
    host.Warn(std::string(kMsgSaveFileName));
    host.FocusField(ff_Save);
    return std::move(*failure);
  }
  const std::size_t replaced = std::get<std::size_t>(result);
  if (replaced > 0) host.Warn(UnconvertibleMessage(replaced));
  host.Beep(bk_Default);
  host.ShowCompletion();
  if (options.ConvType == ct_CreateHtml && options.OpenResult) host.OpenDocument(options.OutputPath);
  return RunOutcome::Done;
}

}  // namespace orven
