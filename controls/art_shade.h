// Which of the two sets of art, light or dark, suits a palette, and the colours of the text
// drawn with it: the art and the text on it are chosen together, never the text alone.
#pragma once

#include <QColor>
#include <QPalette>

namespace parcelo {

enum class ArtShade { Light, Dark };

// Dark art under a palette whose window colour is dark, light art otherwise.
ArtShade ArtShadeFor(const QPalette& palette);

// The colour of labels and button captions drawn on the art of `shade`.
QColor TextOnArt(ArtShade shade);

// The WCAG 2 contrast ratio of two colours, from 1 to 21.
double ContrastRatio(const QColor& a, const QColor& b);
// `colour`, moved towards black or white (whichever `background` is farther from) just far
// enough to read on `background` at the 4.5:1 of WCAG AA.
QColor LegibleOn(const QColor& colour, const QColor& background);

struct LinkColours {
    QColor link;
    QColor visited;
    QColor hover;
};
// The link colours of a web browser, or their light twins on a dark window, each legible on
// the palette's window colour.
LinkColours LinkColoursFor(const QPalette& palette);

}  // namespace parcelo
