// One conversion run: checks the names, asks before overwriting, converts the input
// line by line in the chosen type, and reports the outcome through the host.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/ConversionOptions.h"

namespace orven {

class TAWKStr;
class TAutoSjisConv;

// The components a window keeps for all its runs: the one regular-expression object
// (AWKStr1, LineSeparator mcls_CRLF, both dictionaries off) and the one encoding converter
// (AutoSjisConv1), plus the two scratch lists of tag deletion. They outlive every run.
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

// The whole run: input check, overwrite question, the body of the type inside the failure
// guard, then the completion (and, for "Create HTML" with OpenResult, the browser).
void RunConversion(const ConversionOptions& options, ConversionHost& host,
                   ConversionComponents& components);

// The body of "<BR>Tag Only": every input line as MakeBrLine, one output line each.
// Raises the run's failure (any exception) when a file cannot be opened, read or written.
void RunBrTagOnly(const ConversionOptions& options, ConversionComponents& components);

}  // namespace orven
