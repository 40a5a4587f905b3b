#include "reports/batch_analysis.h"

#include <memory>

#include "analysis/spreadsheet_xml.h"
#include "files/code_page.h"
#include "files/measurement_file.h"
#include "model/graph_settings.h"
#include "model/measurement_store.h"

namespace kenvo {

BatchResult runBatchAnalysis(const std::vector<std::string>& paths, float filterFrequency,
                             const BatchProgress& progress, const BatchCancelled& cancelled) {
    BatchResult result;
    BatchDocument document(filterFrequency);
    // Reserved address space only: pages are used as the loaded files fill them.
    auto store = std::make_unique<MeasurementStore>();
    GraphSettings graph = GraphSettings::defaults();  // the clamp of a load lands here, not in the user's
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (cancelled && cancelled()) {
            result.cancelled = true;
            break;
        }
        if (progress) progress(i, paths.size(), paths[i]);
        BatchFileOutcome outcome{paths[i], false, {}, {}};
        const FileResult loaded = loadMeasurementFile(paths[i], *store, graph);
        if (loaded) {
            document.addDataSet(*store, cp1250ToUtf8(store->subject.name));
            outcome.analysed = true;
        } else {
            outcome.message = loaded.message;
            outcome.reason = loaded.reason;
        }
        result.files.push_back(std::move(outcome));
    }
    if (progress) progress(paths.size(), paths.size(), {});
    result.rows = document.rowCount();
    result.document = document.document();
    return result;
}

}  // namespace kenvo
