// The components a window keeps for all its runs: the one regular-expression object
// (AWKStr1: LineSeparator mcls_CRLF, both dictionaries off) and the one encoding converter
// (AutoSjisConv1). They outlive every run; a run hands each conversion body only the parts
// it uses. Tag deletion counts no passes, so it needs no scratch lists.
#pragma once

#include <memory>

namespace orven {

class TAWKStr;
class TAutoSjisConv;

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

}  // namespace orven
