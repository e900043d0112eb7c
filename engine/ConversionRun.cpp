// Placeholder until the conversion engine lands: the interface exists so that its
// hosts can be built against it.
#include "engine/ConversionRun.h"

namespace orven {

class TAWKStr {};
class TAutoSjisConv {};

ConversionComponents::ConversionComponents()
    : awkStr_(std::make_unique<TAWKStr>()), autoSjisConv_(std::make_unique<TAutoSjisConv>()) {}
ConversionComponents::~ConversionComponents() = default;

void RunConversion(const ConversionOptions&, ConversionHost& host, ConversionComponents&) {
  host.Beep(bk_Default);
  host.ShowCompletion();
}

}  // namespace orven
