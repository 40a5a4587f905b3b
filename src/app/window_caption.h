#pragma once

#include <QString>

namespace kenvo {

class MeasurementStore;

// What the window calls a data set that has not been saved to a file yet.
inline constexpr const char* UntitledDataSet = "Untitled";

// The window's caption. Without a data set: the document's title and the program's name,
// "Kenvotec - KenvoPlat". With one, whose subject and file come first, so a window left open
// says whose measurements it holds: "SUBJECT - FILE - Kenvotec - KenvoPlat" (the subject part
// is left out while the record has no name; FILE is "Untitled" until the data set is saved).
QString windowCaption(const QString& documentTitle, const MeasurementStore& store,
                      const QString& dataSetFile);

}  // namespace kenvo
