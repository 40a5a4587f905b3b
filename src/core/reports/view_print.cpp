#include "reports/view_print.h"

#include "graphs/cop_pictures.h"
#include "graphs/header_band.h"
#include "graphs/live_traces.h"
#include "graphs/stance_frames.h"

namespace kenvo {

namespace {
constexpr int32_t ModeStance = 1;
constexpr int32_t ModeReplay = 2;
constexpr int32_t ModeDiffusion = 7;
constexpr int32_t ModeGraphReport = 8;
}  // namespace

void ViewPrintedGraphs::subjectStrip(Surface& s, const Rect& upper, const Rect& lower) {
    if (viewMode == ModeDiffusion && diffusion_) {
        const DiffusionTexts texts = diffusionPageTexts(ctx_, *diffusion_);
        drawHeaderBand(s, upper, lower,
                       {&ctx_.store.subject, HeaderContent::DiffusionResults, ctx_.state.selectedAttempt, &texts,
                        diffusion_->resultsCurrent});
        return;
    }
    // The strip the view shows: the stance and replay views add the attempt number.
    const HeaderContent content =
        viewMode == ModeStance || viewMode == ModeReplay ? HeaderContent::Attempt : HeaderContent::SubjectOnly;
    drawHeaderBand(s, upper, lower, {&ctx_.store.subject, content, ctx_.state.selectedAttempt, nullptr, false});
}

void ViewPrintedGraphs::graphs(Surface& s, int32_t mode, const Rect& left, const Rect& right, const Rect& diffusionBox) {
    switch (mode) {
        case ModeReplay: {
            drawTimeGraphFrame(ctx_, s, right);
            drawCopPlaneFrame(ctx_, s, left);
            // The replayed traces up to the current replay position.
            drawLiveCopTrace(ctx_, s, left, ctx_.state.traceLength);
            drawLiveTimeTraces(ctx_, s, right, 0, ctx_.state.traceLength);
            if (ctx_.state.copPictureKind == CopPictureOne || ctx_.state.copPictureKind == CopPictureAll)
                showCopPicture(ctx_, s, left, static_cast<CopPictureKind>(ctx_.state.copPictureKind));
            break;
        }
        case ModeGraphReport:
            drawGraphReportGraphs(ctx_, s, left, right);
            break;
        case ModeDiffusion:
            if (diffusion_) drawDiffusionGraphOf(ctx_, s, *diffusion_, diffusionBox);
            break;
        default:
            break;
    }
}

}  // namespace kenvo
