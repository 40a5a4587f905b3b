#pragma once

#include <functional>
#include <string>

#include <QImage>

#include "files/atomic_file.h"
#include "graphs/surface.h"

namespace kenvo {

// Draws one screen view on a white image of width x height pixels (the view's client area).
QImage renderScreenImage(int width, int height, const std::function<void(Surface&)>& draw);

// Writes a screen view as a PNG file, atomically. On failure returns false with a reason.
bool writePng(const std::string& path, int width, int height, const std::function<void(Surface&)>& draw,
              std::string& error);

struct PdfOptions {
    std::string title;
    double marginMm = 10.0;  // the paintable area starts this far in from each edge
    int resolution = 600;    // device dots per inch of the page
    // A page with personal data (a patient's report) is kept private to its owner.
    FileAccess access = FileAccess::Usual;
};

// Writes an A4 portrait PDF of `pageCount` pages, atomically; `drawPage` gets a page surface
// (0.1 mm units, y upward from the paintable area's top left) and the page number from 1.
bool writePdf(const std::string& path, int pageCount, const std::function<void(Surface&, int page)>& drawPage,
              std::string& error, const PdfOptions& options = {});

}  // namespace kenvo
