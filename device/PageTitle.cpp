#include "device/PageTitle.h"

#include <QEvent>
#include <QPainter>

#include "device/TitleStrip.h"

CPageTitle::CPageTitle(const QString& text, QWidget* parent) : QWidget(parent), m_text(text) {
    setObjectName(QStringLiteral("pageTitle"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(0, 0, parent->width(), titlestrip::kHeight + 1);
    parent->installEventFilter(this);
    raise();
    // A page made visible before its title was added does not show new children by itself.
    show();
}

void CPageTitle::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    titlestrip::Draw(painter, width(), m_text, titlestrip::BoldFont(parentWidget()->font()), TitleColor());
}

bool CPageTitle::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(0, 0, parentWidget()->width(), titlestrip::kHeight + 1);
    return QWidget::eventFilter(watched, event);
}
