#pragma once

#include <cstdint>

namespace kenvo {

class MeasurementStore;

// Whether a command can be chosen now. While a test holds the window (from the moment it arms
// the platform until its Exit) every command that would take the view from it or change what
// it records is disabled, so the test's Exit (or Esc) is the one way out; Save, the tables, the
// graph report and the diffusion analysis need an attempt, the Target and Driving Summaries a
// data set of their own test, and the logo command stays greyed. Commands no rule names are
// always enabled. `sensoryConditions`: some attempt of the data set has a sensory test's
// condition (what the sensory results view needs).
bool isCommandEnabled(int32_t id, const MeasurementStore& store, bool sensoryConditions = false);

// A test has armed the platform and not yet ended.
bool testHoldsTheWindow(const MeasurementStore& store);
// The command is one of those that wait until a running test has ended.
bool waitsForTheTest(int32_t id);

}  // namespace kenvo
