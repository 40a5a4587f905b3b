#pragma once

#include <cstdint>

namespace kenvo {

class MeasurementStore;

// Whether a command can be chosen now. The document's rules come first: the commands that
// start a test, touch files or change settings wait while a test runs, and the graph report
// also needs an attempt; then the frame's: the tables and the diffusion analysis need an
// attempt, and the logo command stays greyed. Commands no rule names are always enabled.
bool isCommandEnabled(int32_t id, const MeasurementStore& store);

}  // namespace kenvo
