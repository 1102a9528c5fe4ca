#include "device/TitleStrip.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace titlestrip {

QFont BoldFont(const QFont& dialogFont) {
    QFont font(dialogFont);
    font.setWeight(QFont::Bold);
    font.setPixelSize(dialogFont.pixelSize() > 0 ? dialogFont.pixelSize() : 11);
    return font;
}

QRect TextRect(const QString& text, const QFont& boldFont, int height) {
    const QFontMetrics metrics(boldFont);
    const int top = height == kHeight ? kTextTop : std::max(0, (height - metrics.height()) / 2);
    return QRect(kTextLeft, top, metrics.horizontalAdvance(text), metrics.height());
}

QRect Draw(QPainter& painter, int width, const QString& text, const QFont& boldFont, const QColor& textColor,
           int height) {
    painter.save();
    painter.setFont(boldFont);
    painter.setPen(textColor);
    painter.drawText(QRect(kTextLeft, 0, width - kTextLeft, height), Qt::AlignLeft | Qt::AlignVCenter, text);
    painter.setPen(Qt::black);
    painter.drawLine(0, height, width, height);
    painter.restore();
    return TextRect(text, boldFont, height);
}

}   // namespace titlestrip
