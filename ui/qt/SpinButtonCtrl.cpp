#include "ui/qt/SpinButtonCtrl.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>

CSpinButtonCtrl::CSpinButtonCtrl(QWidget* parent) : QWidget(parent) {
    m_up = new QToolButton(this);
    m_up->setArrowType(Qt::UpArrow);
    m_up->setObjectName(QStringLiteral("spinUp"));
    m_down = new QToolButton(this);
    m_down->setArrowType(Qt::DownArrow);
    m_down->setObjectName(QStringLiteral("spinDown"));
    for (QToolButton* button : {m_up, m_down}) {
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setFixedSize(16, 11);
        connect(button, &QToolButton::pressed, this, &CSpinButtonCtrl::OnArrowPressed);
    }
    // Auto-repeat emits pressed/clicked on every repeat while the button stays down.
    connect(m_up, &QToolButton::clicked, this, [this] { OnArrowRepeat(m_up, 1); });
    connect(m_down, &QToolButton::clicked, this, [this] { OnArrowRepeat(m_down, -1); });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_up);
    layout->addWidget(m_down);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

CSpinButtonCtrl::~CSpinButtonCtrl() = default;

void CSpinButtonCtrl::SetBuddy(QLineEdit* buddy) {
    if (m_buddy)
        m_buddy->removeEventFilter(this);
    m_buddy = buddy;
    if (m_buddy)
        m_buddy->installEventFilter(this);
}

void CSpinButtonCtrl::SetRange32(int lower, int upper) {
    m_lower = lower;
    m_upper = upper;
    SetPos32(m_position);
}

void CSpinButtonCtrl::SetPos32(int position) {
    m_position = std::clamp(position, std::min(m_lower, m_upper), std::max(m_lower, m_upper));
}

void CSpinButtonCtrl::SetAccel(int afterMilliseconds, int factor) {
    m_accelAfterMs = afterMilliseconds;
    m_accelFactor = std::max(1, factor);
}

void CSpinButtonCtrl::OnArrowPressed() {
    if (!m_held.isValid())
        m_held.start();
}

void CSpinButtonCtrl::OnArrowRepeat(QToolButton* button, int direction) {
    const bool accelerated = m_accelAfterMs >= 0 && m_held.isValid() && m_held.elapsed() >= m_accelAfterMs;
    OnDeltaPos(direction * (accelerated ? m_accelFactor : 1));
    if (!button->isDown())
        m_held.invalidate();
}

void CSpinButtonCtrl::OnDeltaPos(int delta) {
    if (m_buddy) {
        bool ok = false;
        const int shown = m_buddy->text().trimmed().toInt(&ok);
        if (ok)
            m_position = shown;
    }
    const int low = std::min(m_lower, m_upper);
    const int high = std::max(m_lower, m_upper);
    long long next = static_cast<long long>(m_position) + delta;
    if (next < low)
        next = m_wrap ? high : low;
    else if (next > high)
        next = m_wrap ? low : high;
    m_position = static_cast<int>(next);
    if (m_buddy)
        m_buddy->setText(QString::number(m_position));
}

bool CSpinButtonCtrl::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_buddy && isEnabled()) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Up || key == Qt::Key_Down) {
                OnDeltaPos(key == Qt::Key_Up ? 1 : -1);
                return true;
            }
        } else if (event->type() == QEvent::Wheel) {
            const int dy = static_cast<QWheelEvent*>(event)->angleDelta().y();
            if (dy != 0) {
                OnDeltaPos(dy > 0 ? 1 : -1);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}
