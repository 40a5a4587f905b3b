#pragma once

#include <cstdint>
#include <string>

#include "analysis/diffusion_texts.h"

#include "graphs/surface.h"
#include "model/subject_record.h"

namespace kenvo {

// What the lower row of the header band carries besides the subject.
enum class HeaderContent : int32_t {
    SubjectOnly,       // the graph report and the table views
    Attempt,           // the stance and replay views: "Attempt:" and the attempt number
    DiffusionResults,  // the diffusion page: the marker read-outs and, when current, the fit
};

struct HeaderBandInput {
    const SubjectRecord* subject = nullptr;  // strings in Windows-1250; none: empty fields
    HeaderContent content = HeaderContent::SubjectOnly;
    int32_t selectedAttempt = 0;                      // shown 1-based with HeaderContent::Attempt
    const DiffusionTexts* diffusion = nullptr;  // with HeaderContent::DiffusionResults
    bool diffusionResultsCurrent = false;       // the fit row only while the fit is current
};

// The subject header above every page's graphs: both rows outlined with the current pen and
// brush, "Name:" and "Weight:" with their values in the upper row, the lower row as `input`
// says. On paper (isPrinting) the rows are the printed page's subject strip, in 0.1 mm.
// A weight of 0 (no subject entered) leaves the weight field empty.
void drawHeaderBand(Surface& surface, const Rect& upper, const Rect& lower,
                    const HeaderBandInput& input);

}  // namespace kenvo
