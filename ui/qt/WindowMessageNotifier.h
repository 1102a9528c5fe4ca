#pragma once
// Receives the window messages addressed to a main window's title inside the Qt event loop:
// the platform endpoint (WindowMessages.h) watched by a QSocketNotifier.
#include <functional>
#include <memory>

#include <QObject>

#include "platform/WindowMessages.h"

class QSocketNotifier;

class CWindowMessageNotifier : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(const WindowMessage&)>;

    // Opens the endpoint of `title`; IsOpen() tells whether that worked.
    CWindowMessageNotifier(const CString& title, Handler handler, QObject* parent = nullptr);
    ~CWindowMessageNotifier() override;

    bool IsOpen() const { return m_endpoint != nullptr; }

private:
    void OnReadable();

    Handler m_handler;
    std::unique_ptr<WindowEndpoint> m_endpoint;
    std::unique_ptr<QSocketNotifier> m_notifier;
};
