#include "ui/qt/WindowMessageNotifier.h"

#include <QSocketNotifier>

CWindowMessageNotifier::CWindowMessageNotifier(const CString& title, Handler handler, QObject* parent)
    : QObject(parent), m_handler(std::move(handler)), m_endpoint(WindowEndpoint::Open(title)) {
    if (!m_endpoint)
        return;
    m_notifier = std::make_unique<QSocketNotifier>(m_endpoint->Descriptor(), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &CWindowMessageNotifier::OnReadable);
}

// The notifier goes first so it never watches a closed descriptor.
CWindowMessageNotifier::~CWindowMessageNotifier() {
    m_notifier.reset();
    m_endpoint.reset();
}

void CWindowMessageNotifier::OnReadable() {
    if (!m_endpoint)
        return;
    m_endpoint->Drain([this](const WindowMessage& message) {
        if (m_handler)
            m_handler(message);
    });
}
