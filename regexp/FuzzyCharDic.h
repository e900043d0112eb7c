// Dictionaries of the fuzzy-character preprocessor, and the built-in one.
// A dictionary is an ordered list of rows; a row is an ordered list of entries (Shift_JIS
// bytes) that are all forms of the same thing, the first entry leading the group built from
// the row. Row and entry order are the search order. An empty entry never matches.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orven {

using TREDictionary = std::vector<std::vector<std::string>>;

// The built-in dictionary of 145 rows: Latin letters, digits, spaces and punctuation, kana
// in their hiragana, katakana, half-width, voiced-mark and small forms. Built once on first
// use and shared by every preprocessor; it is never copied or changed.
const TREDictionary& BuiltinFuzzyCharDic();

// Splits one row stored in comma form into its entries:
// - bytes 0x01-0x20 before an entry are skipped;
// - an entry that begins with a double quote runs to the next double quote that is not
//   doubled; inside it "" stands for one double quote, and commas and blanks are kept;
// - any other entry runs up to the next comma, byte 0x01-0x20 or the end of the text;
// - blanks after an entry are skipped, then one comma and the blanks after it.
// So a comma at the very end adds no entry, while ",," yields an empty entry.
// A NUL byte ends the text.
std::vector<std::string> SplitCommaText(std::string_view text);

}  // namespace orven
