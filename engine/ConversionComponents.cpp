#include "engine/ConversionComponents.h"

#include "encoding/sjisconv.h"
#include "regexp/AWKStr.h"

namespace orven {

ConversionComponents::ConversionComponents()
    : awkStr_(std::make_unique<TAWKStr>()), autoSjisConv_(std::make_unique<TAutoSjisConv>()) {
  awkStr_->SetLineSeparator(mcls_CRLF);
  awkStr_->SetUseFuzzyCharDic(false);
  awkStr_->SetUseSynonymDic(false);
}

ConversionComponents::~ConversionComponents() = default;

}  // namespace orven
