#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "graphs/display_geometry.h"
#include "graphs/recording_surface.h"
#include "graphs/stance_context.h"

namespace kenvo::test {

// A data set with 1 mm per unit on both axes, the default graph settings and a fresh view
// state, for drawing the stance panels on a recording surface.
class StanceFixture : public ::testing::Test {
protected:
    StanceFixture() {
        store->calibration.scaleX = 1.0f;
        store->calibration.scaleY = 1.0f;
    }

    StanceContext ctx() { return StanceContext{graph, *store, state, target, recordingAttempt, overload, client}; }

    // Resets the live window to n steps (n + 1 entries) as a test or replay does.
    void resetWindow(int32_t n) {
        store->liveTrace.reset(n + 1);
        state.traceLength = n;
        state.traceStart = -1;
    }

    // The texts drawn with the given alignment and colour, in drawing order.
    static std::vector<std::string> labels(const RecordingSurface& s, TextAlign align, Rgb colour) {
        std::vector<std::string> out;
        for (const auto* op : s.texts())
            if (op->align == align && op->colour == colour) out.push_back(op->text);
        return out;
    }

    static int count(const RecordingSurface& s, RecordingSurface::Kind kind, Rgb colour) {
        int n = 0;
        for (const auto& op : s.ops())
            if (op.kind == kind && op.colour == colour) ++n;
        return n;
    }

    std::unique_ptr<MeasurementStore> store = std::make_unique<MeasurementStore>();
    GraphSettings graph = GraphSettings::defaults();
    DisplayState state;
    TargetTestState* target = nullptr;
    int32_t recordingAttempt = -1;
    bool overload = false;
    Rect client{0, 0, 800, 600};
};

}  // namespace kenvo::test
