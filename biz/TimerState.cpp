#include "biz/TimerState.h"

#include <algorithm>

namespace {

int64_t Overlap(int64_t from, int64_t to, int64_t windowFrom, int64_t windowTo) {
    return std::max<int64_t>(0, std::min(to, windowTo) - std::max(from, windowFrom));
}

}   // namespace

int64_t CTimerState::RunTicks(int64_t end) const {
    if (phase == Phase::Idle || end <= firstStart.utc)
        return 0;
    int64_t run = end - firstStart.utc;
    for (const CTimerPause& pause : pauses)
        run -= Overlap(pause.from, pause.to, firstStart.utc, end);
    if (phase == Phase::Paused)
        run -= Overlap(pausedSince, end, firstStart.utc, end);
    return std::max<int64_t>(0, run);
}

int64_t CTimerState::WhenRunReached(int64_t ticks, int64_t end) const {
    // Walk the running stretches between the pauses, up to the open pause or `end`.
    const int64_t lastEnd = phase == Phase::Paused ? std::min(pausedSince, end) : end;
    ticks = std::max<int64_t>(0, ticks);
    int64_t from = firstStart.utc;
    int64_t counted = 0;
    int64_t reached = firstStart.utc;
    for (size_t i = 0; i <= pauses.size() && from < lastEnd; ++i) {
        const int64_t to = i < pauses.size() ? std::min(pauses[i].from, lastEnd) : lastEnd;
        const int64_t length = std::max<int64_t>(0, to - from);
        if (counted + length >= ticks)
            return from + (ticks - counted);
        counted += length;
        if (length > 0)
            reached = to;
        if (i < pauses.size())
            from = std::max(from, pauses[i].to);
    }
    return reached;
}

void CTimerState::RememberProject(const CString& projectRef) {
    if (projectRef.IsEmpty())
        return;
    std::erase(recentProjects, projectRef);
    recentProjects.insert(recentProjects.begin(), projectRef);
    if (recentProjects.size() > static_cast<size_t>(kMaxRecentProjects))
        recentProjects.resize(kMaxRecentProjects);
}

void CTimerState::ClearTimer() {
    CTimerState cleared;
    cleared.recentProjects = std::move(recentProjects);
    *this = std::move(cleared);
}
