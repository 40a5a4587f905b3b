#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace kenvo {

// One measurement file of a batch: whether it could be analysed, and why not.
struct BatchFileOutcome {
    std::string path;
    bool analysed = false;
    std::string message;  // the file routine's operator text when it failed
    std::string reason;   // the plain-words reason with the path
};

struct BatchResult {
    std::string document;  // the whole "analysis.xml"
    std::vector<BatchFileOutcome> files;
    int32_t rows = 0;
    bool cancelled = false;  // stopped before every file was read; the document is incomplete
};

// Called before each file is loaded: files done so far, total, the file about to be read.
using BatchProgress = std::function<void(std::size_t done, std::size_t total, const std::string& path)>;
// Asked before each file; true stops the batch there.
using BatchCancelled = std::function<bool()>;

// Loads every file in order into a store of the batch's own and writes one row per attempt.
// The data set the user is working on, and the graph settings, are never touched; a file that
// does not load is reported in the outcomes and left out.
BatchResult runBatchAnalysis(const std::vector<std::string>& paths, float filterFrequency,
                             const BatchProgress& progress = {}, const BatchCancelled& cancelled = {});

}  // namespace kenvo
