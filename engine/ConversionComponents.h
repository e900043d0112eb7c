// The components a window keeps for all its runs: the one regular-expression object
// (AWKStr1: LineSeparator mcls_CRLF, both dictionaries off) and the one encoding converter
// (AutoSjisConv1), plus the two scratch lists of tag deletion. They outlive every run; a
// run hands each conversion body only the parts it uses.
#pragma once

#include <memory>
#include <string>
#include <vector>

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
  // Filled by Split when tag deletion counts "<" (ListBox1) and ">" (ListBox2); only the
  // counts matter.
  std::vector<std::string>& ListBox1() { return listBox1_; }
  std::vector<std::string>& ListBox2() { return listBox2_; }

 private:
  std::unique_ptr<TAWKStr> awkStr_;
  std::unique_ptr<TAutoSjisConv> autoSjisConv_;
  std::vector<std::string> listBox1_;
  std::vector<std::string> listBox2_;
};

}  // namespace orven
