// The highlighters of the code editor: one per language, coloured to suit the palette.
#pragma once

#include "library/SampleLanguage.h"

class QFont;
class QObject;
class QPalette;
class QsciLexer;

// A new lexer for the language, owned by parent; nullptr for plain text.
QsciLexer* MakeLexer(SampleLanguage language, QObject* parent);

// Gives every style of the lexer the font (keeping each style's bold and italic), the
// palette's base as its background, and its own colour made readable on that base: on a
// dark base the colours keep their hue and trade dark for light.
void StyleLexer(QsciLexer& lexer, const QFont& font, const QPalette& palette);
