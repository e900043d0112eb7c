#include <gtest/gtest.h>

#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QLabel>

#include "WindowTestSupport.h"
#include "ui/ColourNames.h"
#include "ui/ColourSwatch.h"

namespace orven::test {
namespace {

TEST(ColourNames, EveryNameHasTheComponentsOfTheCssKeyword) {
  EXPECT_EQ(ColourNameTable().size(), 140u);
  for (const NamedColour& entry : ColourNameTable()) {
    const QColor css = QColor::fromString(QString::fromUtf8(entry.Name));
    ASSERT_TRUE(css.isValid()) << entry.Name;
    EXPECT_EQ(entry.Colour, (Rgb{static_cast<std::uint8_t>(css.red()), static_cast<std::uint8_t>(css.green()),
                                  static_cast<std::uint8_t>(css.blue())}))
        << entry.Name;
  }
}

struct ResolveCase {
  const char* text;
  ColourResolutionKind kind;
  Rgb colour;       // for cr_Colour
  Rgb remembered;   // afterwards
};

constexpr Rgb kWhite{255, 255, 255};

// Each case starts from the remembered components (64, 1, 2).
const ResolveCase kResolveCases[] = {
    {"lightblue", cr_Colour, {173, 216, 230}, {64, 1, 2}},
    {"lightgrey", cr_Colour, {211, 211, 211}, {64, 1, 2}},
    {"lightgray", cr_Colour, kWhite, {64, 1, 2}},   // not a name
    {"grey", cr_Colour, kWhite, {64, 1, 2}},
    {"Red", cr_Colour, kWhite, {64, 1, 2}},         // names are case-sensitive
    {"", cr_Colour, kWhite, {64, 1, 2}},
    {"#00ff80", cr_Colour, {0, 255, 128}, {0, 255, 128}},
    {"#00FF80", cr_Colour, {0, 255, 128}, {0, 255, 128}},
    {"#zz0080", cr_Colour, {64, 0, 128}, {64, 0, 128}},  // red stays remembered
    {"#zzzzzz", cr_Colour, {64, 1, 2}, {64, 1, 2}},
    {"abcdefg", cr_Keep, {}, {64, 1, 2}},
    {"#ａｂｃ", cr_Colour, kWhite, {64, 1, 2}},      // 4 characters, however many bytes
    {"#あいうえおか", cr_Colour, {64, 1, 2}, {64, 1, 2}},
    // A pair with one digit stops; the pairs before it are remembered.
    {"#1020z0", cr_Stop, {}, {16, 32, 2}},
    {"#z00000", cr_Stop, {}, {64, 1, 2}},
    {"#0z0000", cr_Stop, {}, {64, 1, 2}},
    {"#10あ000", cr_Stop, {}, {16, 1, 2}},
};

TEST(ResolveColourText, NamesHashFormsAndFallbacks) {
  for (const ResolveCase& c : kResolveCases) {
    SCOPED_TRACE(c.text);
    Rgb remembered{64, 1, 2};
    const ColourResolution r = ResolveColourText(c.text, remembered);
    EXPECT_EQ(r.Kind, c.kind);
    if (c.kind == cr_Colour) {
      EXPECT_EQ(r.Colour, c.colour);
    }
    EXPECT_EQ(remembered, c.remembered);
  }
}

TEST(ResolveColourText, SurvivesAnyBytes) {
  Rgb remembered;
  for (int length = 0; length < 9; ++length)
    for (int byte = 0; byte < 256; ++byte) {
      std::string text(static_cast<std::size_t>(length), static_cast<char>(byte));
      if (length > 0) text[0] = '#';
      ResolveColourText(text, remembered);
    }
}

QColor TextColour(QLabel* label) { return label->palette().color(QPalette::WindowText); }
QColor Background(QLabel* label) { return label->palette().color(QPalette::Window); }

TEST(TfForm1Preview, EmptyTextsShowWhiteSwatchesAndDefaultColours) {
  WindowFixture f;
  TfForm1& w = *f.form;
  EXPECT_EQ(w.Shape2->Fill(), QColor(Qt::white));
  EXPECT_EQ(TextColour(w.lText), QColor(0, 0, 0));
  EXPECT_EQ(TextColour(w.lLink), QColor(0, 0, 255));
  EXPECT_EQ(TextColour(w.lVlink), QColor(75, 0, 130));
  EXPECT_EQ(TextColour(w.lAlink), QColor(255, 0, 0));
  EXPECT_EQ(TextColour(w.lFont), QColor(0, 0, 0));  // chFONT is clear
  EXPECT_EQ(w.Shape7->Fill(), QColor(Qt::white));
}

TEST(TfForm1Preview, TextsColourSwatchesAndSamples) {
  WindowFixture f;
  TfForm1& w = *f.form;
  w.cbBGCOLOR->setEditText("#400000");
  EXPECT_EQ(w.Shape1->Fill(), QColor(64, 0, 0));
  EXPECT_EQ(w.Shape7->Fill(), QColor(64, 0, 0));
  EXPECT_EQ(Background(w.lFont), QColor(64, 0, 0));
  w.cbTEXT->setEditText("#zz0080");  // red from the background's text
  EXPECT_EQ(w.Shape2->Fill(), QColor(64, 0, 128));
  EXPECT_EQ(TextColour(w.lText), QColor(64, 0, 128));
  w.cbTEXT->setEditText("abcdefg");  // keeps the swatch
  EXPECT_EQ(w.Shape2->Fill(), QColor(64, 0, 128));
  w.cbTEXT->setEditText("Red");
  EXPECT_EQ(w.Shape2->Fill(), QColor(Qt::white));
  EXPECT_EQ(TextColour(w.lText), QColor(Qt::white));
  w.chFONT->setChecked(true);
  w.cbFONTCOLOR->setEditText("lightblue");
  EXPECT_EQ(w.Shape6->Fill(), QColor(173, 216, 230));
  EXPECT_EQ(TextColour(w.lFont), QColor(173, 216, 230));
}

TEST(TfForm1Preview, ClearBackgroundCheckBoxWhitensTheSampleButNotTheSwatch) {
  WindowFixture f;
  TfForm1& w = *f.form;
  w.cbBGCOLOR->setEditText("navy");
  w.chBGCOLOR->setChecked(false);
  EXPECT_EQ(w.Shape1->Fill(), QColor(0, 0, 128));
  EXPECT_EQ(w.Shape7->Fill(), QColor(Qt::white));
  for (QLabel* label : {w.lText, w.lLink, w.lVlink, w.lAlink, w.lFont})
    EXPECT_EQ(Background(label), QColor(Qt::white));
}

// Former fault: a one-digit pair raised a conversion error whose box popped up while
// the user typed. The refresh stops at that slot, silently.
TEST(TfForm1Preview, OneDigitPairStopsTheRefreshWithoutABox) {
  WindowFixture f;
  TfForm1& w = *f.form;
  w.cbALINK->setEditText("lime");
  w.cbTEXT->setEditText("#1020z0");
  EXPECT_EQ(w.Shape2->Fill(), QColor(Qt::white));  // unchanged
  w.cbALINK->setEditText("aqua");                   // the refresh never reaches slot 5
  EXPECT_EQ(w.Shape5->Fill(), QColor(0, 255, 0));
  EXPECT_EQ(TextColour(w.lAlink), QColor(0, 255, 0));
  w.cbBGCOLOR->setEditText("blue");                 // slots before it still refresh
  EXPECT_EQ(w.Shape1->Fill(), QColor(0, 0, 255));
  w.cbTEXT->setEditText("#zz0000");                 // red 16 was remembered from "#10"
  EXPECT_EQ(w.Shape2->Fill(), QColor(16, 0, 0));
  EXPECT_EQ(w.Shape5->Fill(), QColor(0, 255, 255));
  EXPECT_TRUE(f.seam->Boxes.empty());
}

}  // namespace
}  // namespace orven::test
