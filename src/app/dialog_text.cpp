#include "dialog_text.h"

#include "files/code_page.h"

namespace kenvo {

QString fromFileText(const std::string& bytes) {
    return QString::fromStdString(cp1250ToUtf8(bytes));
}

std::string toFileText(const QString& text) {
    return utf8ToCp1250(text.toStdString());
}

}  // namespace kenvo
