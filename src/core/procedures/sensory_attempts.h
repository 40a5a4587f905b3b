#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "files/sidecar.h"
#include "model/sensory_condition.h"

namespace kenvo {

class MeasurementStore;

// Which condition each attempt of the data set in memory was recorded in and which attempts
// were set aside by a repeated trial: what the measurement file cannot hold and its sidecar
// does. Each entry remembers its attempt's start time, so entries of a data set that has since
// been replaced (a new test, another file) no longer count for the store's attempts.
class SensoryAttempts {
  public:
    void clear() { entries_.clear(); }
    // Attempt `attempt` of `store` (already started) was recorded in `condition`.
    void setCondition(const MeasurementStore& store, int attempt, SensoryCondition condition);
    // Attempt `attempt` is set aside (or counts again).
    void setDiscarded(int attempt, bool discarded);

    // The condition of an attempt of `store`, when it has one.
    std::optional<SensoryCondition> condition(const MeasurementStore& store, int attempt) const;
    bool discarded(const MeasurementStore& store, int attempt) const;
    // True when any attempt of `store` has a condition.
    bool any(const MeasurementStore& store) const;

    // Fills the protocol, the conditions (one per attempt of `store`) and the discarded
    // attempts of `sidecar`; a data set without conditions leaves the three empty.
    void toSidecar(const MeasurementStore& store, Sidecar& sidecar) const;
    // Takes the conditions and discarded attempts of a sidecar read beside `store`'s file;
    // entries for attempts the store does not have and unknown condition names are dropped.
    void fromSidecar(const Sidecar& sidecar, const MeasurementStore& store);

  private:
    struct Entry {
        bool used = false;
        int32_t startTime = 0;
        std::optional<SensoryCondition> condition;
        bool discarded = false;
    };
    const Entry* valid(const MeasurementStore& store, int attempt) const;
    Entry& entry(const MeasurementStore& store, int attempt);

    std::vector<Entry> entries_;
};

}  // namespace kenvo
