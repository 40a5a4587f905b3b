#pragma once

#include <QString>
#include <string>

namespace kenvo {

// The files keep text as Windows-1250 bytes; the widgets show Unicode. These convert at the
// edge, so a name survives a load, an edit and a save unchanged.
QString fromFileText(const std::string& bytes);
std::string toFileText(const QString& text);

}  // namespace kenvo
