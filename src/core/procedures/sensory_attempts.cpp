#include "procedures/sensory_attempts.h"

#include "model/measurement_store.h"
#include "procedures/sensory_protocol.h"

namespace kenvo {

const SensoryAttempts::Entry* SensoryAttempts::valid(const MeasurementStore& store,
                                                     int attempt) const {
    if (attempt < 0 || attempt >= store.attemptCount) return nullptr;
    const auto i = static_cast<std::size_t>(attempt);
    if (i >= entries_.size() || !entries_[i].used) return nullptr;
    if (entries_[i].startTime != store.startTime[i]) return nullptr;
    return &entries_[i];
}

SensoryAttempts::Entry& SensoryAttempts::entry(const MeasurementStore& store, int attempt) {
    const auto i = static_cast<std::size_t>(attempt);
    if (entries_.size() <= i) entries_.resize(i + 1);
    Entry& e = entries_[i];
    // A stale entry (another data set's attempt in this slot) starts afresh.
    if (!e.used || e.startTime != store.startTime[i])
        e = Entry{true, store.startTime[i], {}, false};
    return e;
}

void SensoryAttempts::setCondition(const MeasurementStore& store, int attempt,
                                   SensoryCondition condition) {
    if (attempt < 0 || attempt >= MaxAttempts) return;
    entry(store, attempt).condition = condition;
}

void SensoryAttempts::setDiscarded(int attempt, bool discarded) {
    if (attempt < 0 || static_cast<std::size_t>(attempt) >= entries_.size()) return;
    if (entries_[static_cast<std::size_t>(attempt)].used)
        entries_[static_cast<std::size_t>(attempt)].discarded = discarded;
}

std::optional<SensoryCondition> SensoryAttempts::condition(const MeasurementStore& store,
                                                           int attempt) const {
    const Entry* e = valid(store, attempt);
    return e ? e->condition : std::nullopt;
}

bool SensoryAttempts::discarded(const MeasurementStore& store, int attempt) const {
    const Entry* e = valid(store, attempt);
    return e && e->discarded;
}

bool SensoryAttempts::any(const MeasurementStore& store) const {
    for (int a = 0; a < store.attemptCount; ++a)
        if (condition(store, a)) return true;
    return false;
}

void SensoryAttempts::toSidecar(const MeasurementStore& store, Sidecar& sidecar) const {
    sidecar.protocol.reset();
    sidecar.conditions.reset();
    sidecar.discardedAttempts.clear();
    if (!any(store)) return;
    sidecar.protocol = SensoryProtocolName;
    auto& conditions = sidecar.conditions.emplace();
    for (int a = 0; a < store.attemptCount; ++a) {
        const auto c = condition(store, a);
        conditions.push_back(c ? std::optional<std::string>(conditionName(*c)) : std::nullopt);
        if (discarded(store, a)) sidecar.discardedAttempts.push_back(a);
    }
}

void SensoryAttempts::fromSidecar(const Sidecar& sidecar, const MeasurementStore& store) {
    entries_.clear();
    if (!sidecar.conditions) return;
    const auto& names = *sidecar.conditions;
    for (int a = 0; a < store.attemptCount && static_cast<std::size_t>(a) < names.size(); ++a) {
        const auto& name = names[static_cast<std::size_t>(a)];
        if (!name) continue;
        if (const auto c = conditionFromName(*name)) setCondition(store, a, *c);
    }
    for (int a : sidecar.discardedAttempts) {
        if (a < 0 || a >= store.attemptCount) continue;
        entry(store, a);  // a discarded attempt without a condition is still set aside
        setDiscarded(a, true);
    }
}

}  // namespace kenvo
