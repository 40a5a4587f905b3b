#pragma once

#include <string>

#include "graphs/surface.h"

class QSettings;

namespace kenvo {

// The clinic's report set-up as the program keeps it (QSettings, group "Report"): the clinic's
// name and the logo, copied once into the settings folder so the report never depends on where
// the original picture was.
struct StoredReportSetup {
    std::string clinicName;
    std::string logoPath;  // the copy in the settings folder; empty: no logo
};

StoredReportSetup readReportSetup(QSettings& settings);
// The same from the user's own settings of the program (what the command line uses).
StoredReportSetup readUserReportSetup();

// Keeps the name and, when `logoSource` is not empty, a copy of that picture (as PNG, private to
// the user) in the settings folder; an empty `logoSource` with `removeLogo` forgets the logo.
// On failure nothing changes and the reason names the file.
bool storeReportSetup(QSettings& settings, const std::string& clinicName,
                      const std::string& logoSource, bool removeLogo, std::string& error);

// The largest logo file read (a picture for a page header is far smaller).
inline constexpr std::size_t MaxLogoFileBytes = 16u << 20;

// Reads a picture (PNG, JPEG, BMP, ...) through the regular-file reader into RGBA pixels. On
// failure returns false with a reason naming the file.
bool loadLogo(const std::string& path, RasterImage& logo, std::string& error);

}  // namespace kenvo
