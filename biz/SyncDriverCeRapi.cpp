#include "biz/SyncDriverCeRapi.h"

#include <memory>

template <typename Step>
int CSyncDriverCeRapi::Run(Step step) {
    if (m_failed)
        return 0;
    if (step())
        return 1;
    m_failed = true;
    return 0;
}

int CSyncDriverCeRapi::Initialize() {
    m_failed = false;
    m_failure.Empty();
    return Run([this] { return m_helper.Initialize() != 0; });
}

int CSyncDriverCeRapi::VerifyPartnership() {
    if (m_failed)
        return 0;
    const int partners = m_helper.VerifyPartnership();
    // Not being partners is an answer; not getting one is a failure.
    if (!partners && !m_helper.GetLastErrorText().IsEmpty())
        m_failed = true;
    return partners;
}

int CSyncDriverCeRapi::TriggerDeviceSide_SerializeLocalChanges() {
    return Run([this] { return m_helper.TriggerDeviceSide_SerializeLocalChanges() != 0; });
}

int CSyncDriverCeRapi::SerializeLocalChanges() {
    return Run([this] {
        if (m_helper.SerializeLocalChanges() >= 0)
            return true;
        m_failure = u"The changes of this computer could not be written";
        return false;
    });
}

int CSyncDriverCeRapi::ExchangeChangeFiles() {
    return Run([this] { return m_helper.ExchangeChangeFiles() != 0; });
}

int CSyncDriverCeRapi::CommitRemoteChanges() {
    return Run([this] {
        if (m_helper.ApplyRemoteChanges())
            return true;
        m_failure = u"The changes of the device could not be saved on this computer";
        return false;
    });
}

int CSyncDriverCeRapi::TriggerDeviceSide_CommitRemoteChanges() {
    return Run([this] {
        if (!m_helper.TriggerDeviceSide_CommitRemoteChanges())
            return false;
        if (m_helper.CompleteSynchronisation())
            return true;
        m_failure = u"The synchronisation could not be completed on this computer";
        return false;
    });
}

int CSyncDriverCeRapi::PerformFullSync(int direction) {
    return Run([this, direction] { return m_helper.PerformFullSync(direction) != 0; });
}

CString CSyncDriverCeRapi::GetLastErrorText() const {
    return m_failure.IsEmpty() ? m_helper.GetLastErrorText() : m_failure;
}

SyncDriverFactory CSyncDriverCeRapi::Factory() {
    return [] { return std::make_unique<CSyncDriverCeRapi>(); };
}
