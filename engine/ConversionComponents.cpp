#include "engine/ConversionComponents.h"

#include "encoding/sjisconv.h"
#include "engine/LineBlocks.h"
#include "regexp/AWKStr.h"

namespace orven {

std::unique_ptr<TAWKStr> MakeRunAwk() {
  auto awk = std::make_unique<TAWKStr>();
  awk->SetLineSeparator(mcls_CRLF);
  awk->SetUseFuzzyCharDic(false);
  awk->SetUseSynonymDic(false);
  return awk;
}

ConversionComponents::ConversionComponents()
    : awkStr_(MakeRunAwk()),
      autoSjisConv_(std::make_unique<TAutoSjisConv>()),
      threads_(ProcessorCount()),
      blockBytes_(line_blocks::kBlockBytes) {}

ConversionComponents::~ConversionComponents() = default;

RunThreadAwk::RunThreadAwk(ConversionComponents& components, bool here)
    : own_(here ? nullptr : MakeRunAwk()), awk_(here ? &components.AWKStr1() : own_.get()) {}
RunThreadAwk::RunThreadAwk(RunThreadAwk&&) noexcept = default;
RunThreadAwk::~RunThreadAwk() = default;

}  // namespace orven
