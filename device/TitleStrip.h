#pragma once
// The strip across the top of the device's view and pages: a text in a bold variant of the
// dialog font, vertically centred in the top 23 pixels from x = 8, and a line across the full
// width at y = 23.
#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

class QPainter;

namespace titlestrip {
constexpr int kHeight = 23;   // the text's band; the line lies on y = kHeight
constexpr int kTextLeft = 8;
constexpr int kTextTop = 5;

// Weight 700, 11 pixels high, otherwise the given font.
QFont BoldFont(const QFont& dialogFont);
// Draws the text and the line; returns the text's rectangle, (8, 5) to (8 + text width,
// 5 + text height), which is what a tap on the text is tested against.
QRect Draw(QPainter& painter, int width, const QString& text, const QFont& boldFont, const QColor& textColor);
}   // namespace titlestrip
