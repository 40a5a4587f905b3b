#pragma once

#include <cstdint>

namespace kenvo {

// The longest stance attempt the stance dialog accepts, in seconds.
inline constexpr int32_t MaxStanceSeconds = 300;

// The data set's test mode, stored in TestSettings::testMode. 2 is produced by no test; the
// stance test's Start treats it like target hitting.
enum TestMode : int32_t {
    TestModeStance = 0,
    TestModeTargetHitting = 1,
    TestModeUnused = 2,
    TestModeDriving = 3,
};

// The eleven test settings, persisted whole (44 bytes) by the configuration file and copied
// into every data set. The field order is the file order. All zero at program start; the
// configuration loader applies defaults() when no file can be read.
struct TestSettings {
    int32_t spare = 0;
    int32_t stanceTime = 0;        // seconds, 0..300
    int32_t orientation = 0;       // 0 or 1 (axes turned by 90 degrees)
    int32_t testMode = 0;          // TestMode
    int32_t stimuliCount = 0;      // targets, 1..500
    int32_t drivingVelocity = 0;   // 0..10
    int32_t drivingDirection = 0;  // 0 up-down, 1 down-up, 2 left-right, 3 right-left
    int32_t drivingEndMode = 0;    // 0 end with time, 1 end with button stop
    int32_t drivingTime = 0;       // seconds, 0..300
    int32_t objectSize = 0;        // 10..200
    int32_t targetSize = 0;        // 10..300

    static constexpr TestSettings defaults() {
        return TestSettings{30, 10, 0, TestModeStance, 10, 3, 0, 0, 10, 60, 90};
    }

    friend bool operator==(const TestSettings&, const TestSettings&) = default;
};
static_assert(sizeof(TestSettings) == 44);

}  // namespace kenvo
