#include "biz/FieldLimits.h"

#include <algorithm>
#include <cmath>

int CFieldLimits::ItemType(int value) { return value >= 1 && value <= 3 ? value : 1; }

int CFieldLimits::PymtStatus(int value) { return value >= 0 && value <= 2 ? value : 0; }

int CFieldLimits::Billable(int value) { return value == 0 ? 0 : 1; }

float CFieldLimits::Amount(float value) {
    return std::isfinite(value) && std::fabs(value) <= kMaxAmount ? value : 0.0f;
}

float CFieldLimits::Rate(float value) {
    return std::isfinite(value) && value >= 0.0f && value <= kMaxAmount ? value : 0.0f;
}

int CFieldLimits::DurationMinutes(int value) { return std::clamp(value, 0, kMaxDurationMinutes); }

int CFieldLimits::Odometer(int value) { return std::clamp(value, 0, kMaxOdometer); }
