#include "ui/shared/TypingPause.h"

#include <algorithm>

#include <QLineEdit>
#include <QTimer>

CTypingPause::CTypingPause(QLineEdit& box, std::function<void()> run, QObject* parent)
    : QObject(parent), m_box(box), m_run(std::move(run)), m_timer(new QTimer(this)) {
    m_timer->setSingleShot(true);
    m_timer->setInterval(m_pause);
    connect(m_timer, &QTimer::timeout, this, [this] { m_run(); });
    connect(&box, &QLineEdit::textChanged, this, &CTypingPause::OnTextChanged);
    connect(&box, &QLineEdit::returnPressed, this, &CTypingPause::RunNow);
}

void CTypingPause::SetPause(int milliseconds) {
    m_pause = std::max(0, milliseconds);
    m_timer->setInterval(m_pause);
}

bool CTypingPause::IsPending() const { return m_timer->isActive(); }

void CTypingPause::RunNow() {
    m_timer->stop();
    m_run();
}

void CTypingPause::Cancel() { m_timer->stop(); }

void CTypingPause::OnTextChanged() {
    // An emptied box (its clear button, say) costs little and is wanted at once.
    if (m_pause == 0 || m_box.text().isEmpty()) {
        RunNow();
        return;
    }
    m_timer->start();
}
