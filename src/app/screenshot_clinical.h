#pragma once

#include <QString>

class QSettings;

namespace kenvo {
class CKenvoPlatApp;
}

namespace kenvo::screenshots {

class SilentPort;

// The sensory test's results view and the report setup of a sample sensory test.
bool sensoryResultsPictures(CKenvoPlatApp& app, SilentPort& port, QSettings& profile,
                            const QString& out);
// The Subjects window on a subject's sessions and on the history of one measure.
bool registerPictures(CKenvoPlatApp& app, SilentPort& port, const QString& out);

}  // namespace kenvo::screenshots
