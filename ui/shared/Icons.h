#pragma once
// Icons by number: those of the resource library (SVG text through LoadIconSvg) and the
// program's own (compiled-in SVG files, ":/icons/<number>.svg").
#include <QIcon>

class Library;

// Icon `id` of the resource library drawn at 16x16 (and 32x32 for high-density screens).
QIcon ResLibraryIcon(const Library* library, unsigned id);
// The program's own icon `id`.
QIcon ProgramIcon(unsigned id);
// Renders SVG text; a null icon when it does not parse.
QIcon IconFromSvg(const QByteArray& svg);
