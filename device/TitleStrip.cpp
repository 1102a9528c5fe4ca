#include "device/TitleStrip.h"

#include <QFontMetrics>
#include <QPainter>

namespace titlestrip {

QFont BoldFont(const QFont& dialogFont) {
    QFont font(dialogFont);
    font.setWeight(QFont::Bold);
    font.setPixelSize(11);
    return font;
}

QRect Draw(QPainter& painter, int width, const QString& text, const QFont& boldFont, const QColor& textColor) {
    painter.save();
    painter.setFont(boldFont);
    painter.setPen(textColor);
    const QFontMetrics metrics(boldFont);
    painter.drawText(QRect(kTextLeft, 0, width - kTextLeft, kHeight), Qt::AlignLeft | Qt::AlignVCenter, text);
    painter.setPen(Qt::black);
    painter.drawLine(0, kHeight, width, kHeight);
    painter.restore();
    return QRect(kTextLeft, kTextTop, metrics.horizontalAdvance(text), metrics.height());
}

}   // namespace titlestrip
