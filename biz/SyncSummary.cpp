#include "biz/SyncSummary.h"

namespace {

int Sum(const std::map<std::u16string, int>& counts) {
    int total = 0;
    for (const auto& [kind, count] : counts)
        total += count;
    return total;
}

}   // namespace

int CSyncSummary::SentTotal() const { return Sum(sent); }

int CSyncSummary::ReceivedTotal() const { return Sum(received); }

int CSyncSummary::Conflicts() const {
    return conflictsKeptOwn + conflictsChangedMeanwhile + conflictsRestored + conflictsDeletionRefused;
}

void CSyncSummary::ClearSent() {
    sent.clear();
    deletionsSent = 0;
}

void CSyncSummary::ClearReceived() {
    received.clear();
    deletionsApplied = 0;
    conflictsKeptOwn = 0;
    conflictsChangedMeanwhile = 0;
    conflictsRestored = 0;
    conflictsDeletionRefused = 0;
}
