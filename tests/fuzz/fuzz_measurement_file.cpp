// Loads arbitrary bytes as a measurement file. An accepted file, saved and loaded again, must
// load and save to the very same bytes.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "files/measurement_file.h"
#include "model/graph_settings.h"
#include "model/measurement_store.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The store reserves its full size once; pages stay untouched until used.
    static const auto store = std::make_unique<kenvo::MeasurementStore>();
    kenvo::GraphSettings graph = kenvo::GraphSettings::defaults();
    if (!kenvo::decodeMeasurementFile(std::span(data, size), "fuzz", *store, graph)) return 0;
    std::vector<uint8_t> first, second;
    if (!kenvo::encodeMeasurementFile(*store, first)) std::abort();
    if (!kenvo::decodeMeasurementFile(first, "again", *store, graph)) std::abort();
    if (!kenvo::encodeMeasurementFile(*store, second) || second != first) std::abort();
    return 0;
}
