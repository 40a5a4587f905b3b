#include "graphs/surface.h"

#include <cmath>

namespace kenvo {

void Surface::multilineText(const Rect& r, std::string_view utf8, TextAlign align) {
    const ViewFont font = selectFont(ViewFont::SmallNormal);
    selectFont(font);
    const int32_t lineHeight =
        static_cast<int32_t>(std::lround(fontSpec(font).height * 6 / 5 * fontScale()));
    // On paper y grows upward, so the next line lies at a smaller y.
    const int32_t down = isPrinting() ? -1 : 1;
    int32_t line = 0;
    std::size_t start = 0;
    while (start <= utf8.size()) {
        std::size_t end = utf8.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = utf8.size();
        const int32_t top = r.top + down * line * lineHeight;
        text({r.left, top, r.right, top + down * lineHeight}, utf8.substr(start, end - start), align);
        ++line;
        if (end == utf8.size()) break;
        // "\r\n" is one line break.
        start = end + ((utf8[end] == '\r' && end + 1 < utf8.size() && utf8[end + 1] == '\n') ? 2 : 1);
    }
}

}  // namespace kenvo
