#include "engine/HtmlDocument.h"

#include "engine/ConversionComponents.h"
#include "engine/LineBlocks.h"
#include "engine/LineTransforms.h"
#include "engine/TextFiles.h"
#include "regexp/AWKStr.h"

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

std::size_t RunCreateHtml(const ConversionOptions& options, RunFiles& files,
                          ConversionComponents& components) {
  TAWKStr& awk = components.AWKStr1();
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

  std::size_t replaced = 0;
  {
    TextLineReader input = files.OpenInput(components.Threads());
    const bool widen = options.WidenKana;
    const bool wrapFont = orderFont && !font.empty();
    const bool pre = options.Layout == ll_Pre;
    NoLineState state;
    const auto makeLine = [&components, &font, widen, wrapFont, pre](bool here) {
      return [awk = RunThreadAwk(components, here), &font, widen, wrapFont, pre](std::string& line,
                                                                                 NoLineState&) {
        TransformText(*awk, line, widen);
        if (wrapFont && !line.empty()) {
          line.insert(0, font);
          line += pre ? "</FONT>" : "<BR></FONT>";
        } else if (!pre) {
          line += "<BR>";
        }
      };
    };
    replaced = ConvertLineBlocks(input, output, state, makeLine, components.Threads(),
                                 components.BlockBytes());
  }  // the input is closed before the document ends
  if (lumpFont) output.WriteOutputLine("</FONT>");

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
