#pragma once

namespace kenvo {

// A centre-of-pressure position on the plate, millimetres from its centre (x right, y front):
// what a recording holds and what the simulated subject plays.
struct CopPoint {
    double xMm = 0.0;
    double yMm = 0.0;
};

}  // namespace kenvo
