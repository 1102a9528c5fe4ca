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

// Weight 700, as high as the dialog font (11 pixels on the handheld), otherwise the given font.
QFont BoldFont(const QFont& dialogFont);
// Where the text lies in a strip `height` pixels high: from x = 8, vertically centred; (8, 5) to
// (8 + text width, 5 + text height) in the handheld's strip. A tap on the text is tested against it.
QRect TextRect(const QString& text, const QFont& boldFont, int height = kHeight);
// Draws the text and the line at y = height; returns the text's rectangle.
QRect Draw(QPainter& painter, int width, const QString& text, const QFont& boldFont, const QColor& textColor,
           int height = kHeight);
}   // namespace titlestrip
