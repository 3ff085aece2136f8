#pragma once
// The 17 x 17 glyphs of the picture actions, shared by the tiles and the Pictures page's
// toolbar: the desktop theme's icon where it has one, else a picture drawn here.
#include <QIcon>

namespace galerion::ui {

enum TGlyph : int {
    kGlyphUTurn = 0,
    kGlyphFlip = 1,
    kGlyphClockwise = 2,
    kGlyphCounterClockwise = 3,
    kGlyphExclude = 4,
    kGlyphPrivate = 5,
    kGlyphCategories = 6,
    kGlyphFace = 7,
};
inline constexpr int kGlyphCount = 8;
inline constexpr int kGlyphSize = 17;

QIcon PictureGlyph(int glyph);
// The program's own drawing, whatever the theme offers.
QIcon DrawnGlyph(int glyph);

}  // namespace galerion::ui
