#include "engine/HtmlDocument.h"

#include <optional>

#include "engine/ConversionRun.h"
#include "engine/LineTransforms.h"
#include "engine/TextFiles.h"

namespace orven {
namespace {

constexpr const char* kBodyColorPrefixes[5] = {" BGCOLOR=", " TEXT=", " LINK=", " VLINK=", " ALINK="};

}  // namespace

std::string BuildBodyTag(const ConversionOptions& options) {
  std::string tag = "<BODY";
  for (std::size_t i = 0; i < options.BodyColors.size(); ++i) {
    const BodyColor& color = options.BodyColors[i];
    if (color.Checked && !color.ColorName.empty()) tag += kBodyColorPrefixes[i] + color.ColorName;
  }
  return tag + ">";
}

std::string BuildFontTag(const ConversionOptions& options) {
  if (!options.UseFont) return {};
  if (options.FontFace.empty() && options.FontSize.empty() && options.FontColor.empty()) return {};
  std::string tag = "<FONT";
  if (!options.FontFace.empty()) tag += " FACE=\"" + options.FontFace + "\"";
  if (!options.FontSize.empty()) tag += " SIZE=" + options.FontSize;
  if (!options.FontColor.empty()) tag += " COLOR=" + options.FontColor;
  return tag + ">";
}

void RunCreateHtml(const ConversionOptions& options, ConversionComponents& components) {
  TAWKStr& awk = components.AWKStr1();
  const std::string& out = options.OutputPath;
  const bool lumpFont = options.UseFont && options.FontPlace == fm_Lump;
  const bool orderFont = options.UseFont && options.FontPlace == fm_Order;

  // Writing would destroy an input that is the output itself: take it in first.
  std::optional<TextLineReader> input;
  if (IsSameFile(options.InputPath, out)) {
    input.emplace(TextLineReader::FromBytes(ReadWholeFile(options.InputPath)));
  }

  OutputLineWriter output;
  output.WriteOutputLine(out, "<HTML>", true);
  if (options.MetaCharset) output.WriteOutputLine(out, kMetaCharsetLine, false);
  if (options.UseTitle) {
    std::string title = options.TitleText;
    TransformText(awk, title, options.WidenKana);
    output.WriteOutputLine(out, "<HEAD><TITLE>" + title + "</TITLE></HEAD>", false);
  }
  const std::string body = BuildBodyTag(options);
  const std::string font = BuildFontTag(options);
  output.WriteOutputLine(out, body, false);
  switch (options.BlockPos) {
    case bp_Center: output.WriteOutputLine(out, "<CENTER>", false); break;
    case bp_Right: output.WriteOutputLine(out, "<DIV ALIGN=\"RIGHT\">", false); break;
    case bp_Left: output.WriteOutputLine(out, "<DIV ALIGN=\"LEFT\">", false); break;
    case bp_None: break;
  }
  switch (options.Layout) {
    case ll_Nobr: output.WriteOutputLine(out, "<NOBR>", false); break;
    case ll_Pre: output.WriteOutputLine(out, "<PRE>", false); break;
    case ll_None: break;
  }
  if (lumpFont) output.WriteOutputLine(out, font, false);

  if (!input) input.emplace(TextLineReader::OpenFile(options.InputPath));
  std::string line;
  std::string piece;
  while (input->ReadLine(line)) {
    TransformText(awk, line, options.WidenKana);
    const bool wrap = orderFont && !font.empty() && !line.empty();
    if (options.Layout == ll_Pre) {
      piece = wrap ? font + line + "</FONT>" : line;
    } else {
      piece = wrap ? font + line + "<BR></FONT>" : line + "<BR>";
    }
    output.WriteOutputLine(out, piece, false);
  }
  if (lumpFont) output.WriteOutputLine(out, "</FONT>", false);
  input.reset();

  switch (options.Layout) {
    case ll_Pre: output.WriteOutputLine(out, "</PRE>", false); break;
    case ll_Nobr: output.WriteOutputLine(out, "</NOBR>", false); break;
    case ll_None: break;
  }
  switch (options.BlockPos) {
    case bp_Center: output.WriteOutputLine(out, "</CENTER>", false); break;
    case bp_Right:
    case bp_Left: output.WriteOutputLine(out, "</DIV>", false); break;
    case bp_None: break;
  }
  output.WriteOutputLine(out, "</BODY>", false);
  output.WriteOutputLine(out, "</HTML>", false);
}

}  // namespace orven
