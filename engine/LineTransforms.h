// The line transforms of the two text-to-HTML types: escaping of the four characters HTML
// reserves, and widening of half-width katakana. Every substitution puts its pattern in
// force on the TAWKStr it is given (one per thread of a run; the patterns are compiled once
// per thread and answer as a RegExp assignment of them would) and calls GSub; GSub itself
// rejects a text in which its pattern cannot occur with one scan. The widening rows run
// only for the half-width characters that the class pattern finds in the line.
// Text is Shift_JIS bytes throughout.
#pragma once

#include <string>

namespace orven {

class TAWKStr;

// "&" -> "&amp;" first (so the entities inserted later are not escaped again), then "<",
// ">" and the double quote. Nothing else is touched.
void EscapeHtml(TAWKStr& awk, std::string& text);

// Applies KanaTable row by row: pairs first, then the single bytes.
void WidenHalfWidthKana(TAWKStr& awk, std::string& text);

// EscapeHtml, then WidenHalfWidthKana when `widen` is set.
void TransformText(TAWKStr& awk, std::string& text, bool widen);

// Turns a line into the whole line of "<BR>Tag Only": the transformed line followed by "<BR>".
void MakeBrLine(TAWKStr& awk, std::string& line, bool widen);

}  // namespace orven
