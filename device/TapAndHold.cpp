#include "device/TapAndHold.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QWidget>

CTapAndHold::CTapAndHold(QWidget* viewport) : QObject(viewport), m_viewport(viewport) {
    m_holdTimer.setSingleShot(true);
    m_holdTimer.setInterval(kHoldMilliseconds);
    connect(&m_holdTimer, &QTimer::timeout, this, &CTapAndHold::OnHoldTimeout);
    viewport->installEventFilter(this);
}

void CTapAndHold::OnHoldTimeout() {
    // The stylus is still down: what follows its lifting is no tap.
    m_pressed = false;
    emit held(m_pressPos);
}

bool CTapAndHold::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_viewport || m_synthesizing)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            m_holdTimer.stop();
            m_pressed = false;
            // Let the view select the row first, as a touch does.
            m_synthesizing = true;
            QMouseEvent touch(QEvent::MouseButtonPress, mouse->position(), mouse->scenePosition(),
                              mouse->globalPosition(), Qt::LeftButton, Qt::LeftButton, mouse->modifiers());
            QApplication::sendEvent(m_viewport, &touch);
            QMouseEvent lift(QEvent::MouseButtonRelease, mouse->position(), mouse->scenePosition(),
                             mouse->globalPosition(), Qt::LeftButton, Qt::NoButton, mouse->modifiers());
            QApplication::sendEvent(m_viewport, &lift);
            m_synthesizing = false;
            emit held(mouse->position().toPoint());
            return true;
        }
        if (mouse->button() == Qt::LeftButton) {
            m_pressPos = mouse->position().toPoint();
            m_pressed = true;
            m_holdTimer.start();
        }
        break;
    }
    case QEvent::MouseMove:
        if (m_pressed && (static_cast<QMouseEvent*>(event)->position().toPoint() - m_pressPos).manhattanLength() >
                             QApplication::startDragDistance()) {
            m_pressed = false;
            m_holdTimer.stop();
        }
        break;
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            break;
        const bool tap = m_pressed && m_holdTimer.isActive();
        m_pressed = false;
        m_holdTimer.stop();
        if (tap)
            emit tapped(mouse->position().toPoint());
        break;
    }
    case QEvent::ContextMenu:
        // Right clicks became holds above; the views' own context menus do not apply here.
        return static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Mouse;
    default: break;
    }
    return QObject::eventFilter(watched, event);
}
