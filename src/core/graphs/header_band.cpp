#include "graphs/header_band.h"

#include "analysis/text_format.h"
#include "files/code_page.h"

namespace kenvo {

namespace {

Rect shifted(const Rect& r, int32_t dy) {
    return {r.left, r.top + dy, r.right, r.bottom + dy};
}

}  // namespace

void drawHeaderBand(Surface& s, const Rect& r1, const Rect& r2, const HeaderBandInput& input) {
    const SurfaceState keep(s);
    const bool paper = s.isPrinting();

    s.rectangle(r1);
    s.rectangle(r2);

    const int32_t margin = paper ? 25 : 10;
    const int32_t labelWidth = paper ? 200 : 80;
    const int32_t width = r1.right - r1.left;
    const int32_t x0 = r1.left + margin;
    const int32_t quarter = x0 + width / 4;
    const int32_t half = x0 + width / 2;
    const int32_t threeQuarter = x0 + width * 3 / 4;

    s.selectFont(paper ? ViewFont::PrintBold : ViewFont::SmallBold);
    s.text({x0, r1.top, quarter, r1.bottom}, "Name:", TextAlign::Left);
    s.text({threeQuarter, r1.top, r1.right, r1.bottom}, "Weight:", TextAlign::Left);
    const bool attempt = input.content == HeaderContent::Attempt;
    if (attempt) s.text({x0, r2.top, quarter, r2.bottom}, "Attempt:", TextAlign::Left);

    s.selectFont(paper ? ViewFont::PrintNormal : ViewFont::SmallNormal);
    const std::string name = input.subject ? cp1250ToUtf8(input.subject->name) : std::string();
    const int32_t weight = input.subject ? input.subject->weight : 0;
    s.text({x0 + labelWidth, r1.top, quarter, r1.bottom}, name, TextAlign::Left);
    s.text({threeQuarter + labelWidth, r1.top, r1.right, r1.bottom},
           weight != 0 ? formatText("%d", weight) : std::string(), TextAlign::Left);
    if (attempt)
        s.text({x0 + labelWidth, r2.top, quarter, r2.bottom},
               formatText("%d", input.selectedAttempt + 1), TextAlign::Left);

    if (input.content != HeaderContent::DiffusionResults || !input.diffusion) return;
    const DiffusionTexts& t = *input.diffusion;
    // The marker row sits above the middle of the lower row and the fit row below it. Paper
    // y grows upward, so there "above" is a positive offset.
    const int32_t up = paper ? 30 : -10;
    const int32_t down = paper ? -30 : 10;
    const Rect m = shifted(r2, up);
    s.text({x0, m.top, quarter, m.bottom}, t.marker, TextAlign::Left);
    s.text({quarter, m.top, half, m.bottom}, t.yLeft, TextAlign::Left);
    s.text({half, m.top, threeQuarter, m.bottom}, t.yRight, TextAlign::Left);
    if (!input.diffusionResultsCurrent) return;
    const Rect f = shifted(r2, down);
    s.text({x0, f.top, quarter, f.bottom}, t.originLine, TextAlign::Left);
    s.text({quarter, f.top, half, f.bottom}, t.generalLine, TextAlign::Left);
    s.text({half, f.top, threeQuarter, f.bottom}, t.crossing, TextAlign::Left);
}

}  // namespace kenvo
