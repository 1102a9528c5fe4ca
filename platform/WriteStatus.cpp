#include "platform/WriteStatus.h"

#include <cstring>

std::string WriteStatus::Message() const {
    if (m_state == Written)
        return std::string();
    const std::string reason = m_error != 0 ? std::string(std::strerror(m_error)) : std::string("unknown error");
    if (m_state == NotDurable)
        return "The file was replaced, but it could not be made sure that the change is on the disk (" + reason + ").";
    return std::string("The file could not be written") + (*m_step ? " (" + std::string(m_step) + ")" : "") + ": " +
           reason + ".";
}
