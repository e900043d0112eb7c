#include "engine/ConversionRun.h"

#include <stdexcept>

#include "encoding/sjisconv.h"
#include "engine/HtmlDocument.h"
#include "engine/LineTransforms.h"
#include "engine/Messages.h"
#include "engine/TagDelete.h"
#include "engine/TextFiles.h"
#include "regexp/AWKStr.h"

namespace orven {

ConversionComponents::ConversionComponents()
    : awkStr_(std::make_unique<TAWKStr>()), autoSjisConv_(std::make_unique<TAutoSjisConv>()) {
  awkStr_->SetLineSeparator(mcls_CRLF);
  awkStr_->SetUseFuzzyCharDic(false);
  awkStr_->SetUseSynonymDic(false);
}

ConversionComponents::~ConversionComponents() = default;

void RunBrTagOnly(const ConversionOptions& options, ConversionComponents& components) {
  TextLineReader input = OpenInputLines(options);
  OutputLineWriter output;
  std::string line;
  std::size_t counter = 0;
  while (input.ReadLine(line)) {
    output.WriteOutputLine(options.OutputPath,
                           MakeBrLine(components.AWKStr1(), line, options.WidenKana), counter == 0);
    ++counter;
  }
}

namespace {

// The body of the type; false when it failed. Every file it opened is closed on return.
bool RunBody(const ConversionOptions& options, ConversionComponents& components) {
  try {
    switch (options.ConvType) {
      case ct_TagDelete:
        RunTagDelete(options, components);
        return true;
      case ct_BrTagOnly:
        RunBrTagOnly(options, components);
        return true;
      case ct_CreateHtml:
        RunCreateHtml(options, components);
        return true;
    }
    throw std::invalid_argument("unknown conversion type");
  } catch (...) {
    return false;
  }
}

}  // namespace

void RunConversion(const ConversionOptions& options, ConversionHost& host,
                   ConversionComponents& components) {
  if (!FileExists(options.InputPath)) {
    host.Beep(bk_Exclamation);
    host.Warn(std::string(kMsgLoadFileName));
    host.FocusField(ff_Load);
    return;
  }
  if (FileExists(options.OutputPath) && host.Confirm(std::string(kMsgOverwrite)) != ca_Yes) {
    host.FocusField(ff_Save);
    return;
  }
  if (!RunBody(options, components)) {
    host.Beep(bk_Exclamation);
    host.Warn(std::string(kMsgSaveFileName));
    host.FocusField(ff_Save);
    return;
  }
  host.Beep(bk_Default);
  host.ShowCompletion();
  if (options.ConvType == ct_CreateHtml && options.OpenResult) host.OpenDocument(options.OutputPath);
}

}  // namespace orven
