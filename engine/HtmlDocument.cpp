#include "engine/HtmlDocument.h"

#include <optional>

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

std::size_t RunCreateHtml(const ConversionOptions& options, RunFiles& files, TAWKStr& awk) {
  const bool lumpFont = options.UseFont && options.FontPlace == fm_Lump;
  const bool orderFont = options.UseFont && options.FontPlace == fm_Order;

  OutputLineWriter output(files.Output());
  output.WriteOutputLine("<HTML>");
  if (options.MetaCharset) output.WriteOutputLine(kMetaCharsetLine);
  if (options.UseTitle) {
    std::string title = options.TitleText;
    TransformText(awk, title, options.WidenKana);
    output.WriteOutputLine("<HEAD><TITLE>" + title + "</TITLE></HEAD>");
  }
  const std::string font = BuildFontTag(options);
  output.WriteOutputLine(BuildBodyTag(options));
  switch (options.BlockPos) {
    case bp_Center: output.WriteOutputLine("<CENTER>"); break;
    case bp_Right: output.WriteOutputLine("<DIV ALIGN=\"RIGHT\">"); break;
    case bp_Left: output.WriteOutputLine("<DIV ALIGN=\"LEFT\">"); break;
    case bp_None: break;
  }
  switch (options.Layout) {
    case ll_Nobr: output.WriteOutputLine("<NOBR>"); break;
    case ll_Pre: output.WriteOutputLine("<PRE>"); break;
    case ll_None: break;
  }
  if (lumpFont) output.WriteOutputLine(font);

  std::optional<TextLineReader> input = files.OpenInput();
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
    output.WriteOutputLine(piece);
  }
  if (lumpFont) output.WriteOutputLine("</FONT>");
  const std::size_t replaced = input->ReplacedChars();
  input.reset();

  switch (options.Layout) {
    case ll_Pre: output.WriteOutputLine("</PRE>"); break;
    case ll_Nobr: output.WriteOutputLine("</NOBR>"); break;
    case ll_None: break;
  }
  switch (options.BlockPos) {
    case bp_Center: output.WriteOutputLine("</CENTER>"); break;
    case bp_Right:
    case bp_Left: output.WriteOutputLine("</DIV>"); break;
    case bp_None: break;
  }
  output.WriteOutputLine("</BODY>");
  output.WriteOutputLine("</HTML>");
  output.Close();
  return replaced;
}

}  // namespace orven
