// One conversion run: checks the names, asks before overwriting, converts the input
// line by line in the chosen type, and reports the outcome through the host.
#pragma once

#include <memory>

#include "engine/ConversionOptions.h"

namespace orven {

class TAWKStr;
class TAutoSjisConv;

// The components a window keeps for all its runs: the one regular-expression object
// (AWKStr1) and the one encoding converter (AutoSjisConv1). They outlive every run.
class ConversionComponents {
 public:
  ConversionComponents();
  ~ConversionComponents();
  ConversionComponents(const ConversionComponents&) = delete;
  ConversionComponents& operator=(const ConversionComponents&) = delete;

  TAWKStr& AWKStr1() { return *awkStr_; }
  TAutoSjisConv& AutoSjisConv1() { return *autoSjisConv_; }

 private:
  std::unique_ptr<TAWKStr> awkStr_;
  std::unique_ptr<TAutoSjisConv> autoSjisConv_;
};

void RunConversion(const ConversionOptions& options, ConversionHost& host,
                   ConversionComponents& components);

}  // namespace orven
