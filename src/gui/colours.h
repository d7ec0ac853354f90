// Colours the program draws itself, derived from a palette so that they stay
// readable on a light and on a dark one, and the contrast measure that says
// what readable means (relative luminance and contrast ratio as defined for
// web content accessibility: 4.5:1 for text, 3:1 for marks and graphics).
#pragma once

#include <QColor>
#include <QPalette>

#include <initializer_list>

inline constexpr double kTextContrast = 4.5;
inline constexpr double kMarkContrast = 3.0;

// 0 for black to 1 for white, from the sRGB channels; alpha is ignored.
double RelativeLuminance(const QColor& colour);
// From 1 (the same luminance) to 21 (black on white); symmetric.
double ContrastRatio(const QColor& a, const QColor& b);

// `share` of a and the rest of b, opaque.
QColor Mix(const QColor& a, const QColor& b, double share);

// Whether the palette draws light text on a dark base.
bool IsDark(const QPalette& palette);

// `colour` with its hue and saturation kept and its lightness moved away from
// the backgrounds (all of similar lightness: the first decides the direction)
// until it reaches `ratio` against each of them, or black or white.
QColor WithContrast(const QColor& colour, std::initializer_list<QColor> backgrounds, double ratio);

// Errors and breakpoints: the live error's underline and line mark, the
// breakpoint dots of the editor's margin, and error texts. Readable as text on
// the base and on the window colour.
QColor ErrorColour(const QPalette& palette);

// Behind the live error's line number in the editor's margin (window
// colour); the window's text stays readable on it.
QColor ErrorLineBand(const QPalette& palette);
// The live error's line number on that band: the window's text colour, or
// nearer black or white where a palette's own pair is weak.
QColor ErrorLineText(const QPalette& palette);

// A passed and a failed test case's mark, text on the base.
QColor PassColour(const QPalette& palette);
QColor FailColour(const QPalette& palette);

// The band behind the line a paused run is about to execute: a tint of the
// highlight colour light enough that the text colour stays readable on it.
QColor PausedLineBand(const QPalette& palette);

// Values that changed since the last pause: the highlight colour, darkened
// where the highlighted text colour would not be readable on it.
QColor ChangedBackground(const QPalette& palette);
QColor ChangedText(const QPalette& palette);

// Text that is there but less important (values already read, line numbers):
// between the text and its background, still readable as text.
QColor SubduedText(const QPalette& palette, QPalette::ColorRole background = QPalette::Base);
