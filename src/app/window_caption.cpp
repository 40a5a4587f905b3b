#include "window_caption.h"

#include <QFileInfo>
#include <QStringList>

#include "dialog_text.h"
#include "model/measurement_store.h"

namespace kenvo {

QString windowCaption(const QString& documentTitle, const MeasurementStore& store,
                      const QString& dataSetFile) {
    QStringList parts;
    if (store.dataPresent != 0) {
        // A name may carry line breaks or padding from an old file; a caption is one line.
        const QString subject = fromFileText(store.subject.name).simplified();
        if (!subject.isEmpty()) parts << subject;
        parts << (dataSetFile.isEmpty() ? QString::fromLatin1(UntitledDataSet)
                                        : QFileInfo(dataSetFile).fileName());
    }
    parts << documentTitle << QStringLiteral("KenvoPlat");
    return parts.join(QStringLiteral(" - "));
}

}  // namespace kenvo
