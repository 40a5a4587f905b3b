#pragma once

#include <optional>

#include "cli_data_set.h"
#include "graphs/display_state.h"
#include "graphs/report_pages.h"
#include "graphs/stance_context.h"

namespace kenvo::cli {

// A view of a loaded data set as the program would show it, for rendering and printing.
struct ViewSetup {
    DataSet& data;
    int32_t attempt = 0;
    Rect client{0, 0, 760, 400};
    DisplayState state{};
    DiffusionPageData diffusion{};

    StanceContext context() { return StanceContext{.graph = data.graph, .store = *data.store, .state = state, .client = client}; }

    // The replay view after playing the attempt forward to its end.
    void replayToEnd();
    // The graph report of the attempt, whole, the cursors at its ends.
    void graphReport();
    // The diffusion page of the attempt over its planned duration; with a marker the fit is run
    // (as RESULT does) and its lines and texts are shown.
    void diffusionPage(std::optional<int32_t> marker);
};

}  // namespace kenvo::cli
