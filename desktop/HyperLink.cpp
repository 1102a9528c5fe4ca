#include "desktop/HyperLink.h"

#include <QMouseEvent>

#include "ui/qt/UrlOpener.h"

CHyperLink::CHyperLink(const QString& text, const QString& address, QWidget* parent)
    : QLabel(text, parent), m_address(address) {
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    setToolTip(address);
    setCursor(Qt::PointingHandCursor);
    SetHover(false);
}

void CHyperLink::SetHover(bool hover) {
    m_bHover = hover;
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, hover ? HoverColor() : LinkColor());
    setPalette(colours);
}

void CHyperLink::enterEvent(QEnterEvent* event) {
    SetHover(true);
    QLabel::enterEvent(event);
}

void CHyperLink::leaveEvent(QEvent* event) {
    SetHover(false);
    QLabel::leaveEvent(event);
}

void CHyperLink::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Follow();
    QLabel::mouseReleaseEvent(event);
}

int CHyperLink::Follow() { return OpenUrlOrReport(m_address); }
