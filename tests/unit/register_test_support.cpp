#include "register_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <vector>

#include "files/code_page.h"
#include "files/cop_import.h"
#include "files/measurement_file.h"
#include "model/measurement_store.h"
#include "support/synthetic_sway.h"

namespace kenvo::test {

void writeRecording(const std::string& path, const TestRecording& recording) {
    auto store = std::make_unique<MeasurementStore>();
    for (int a = 0; a < recording.attempts; ++a) {
        std::vector<CopPoint> points;
        // The walk in millimetres at the model-0 scales its fractions are made for.
        for (const CopSample& s : syntheticSway(recording.samples, recording.seed * 31 + a))
            points.push_back({s.x * 175.0, s.y * 276.0});
        importCopAttempt(*store, a, points, 0, recording.start + 90 * a);
    }
    finishCopImport(*store, recording.attempts, 0);
    store->settings.testMode = recording.mode;
    store->subject.name = utf8ToCp1250(recording.name);
    store->subject.sex = recording.sex;
    store->subject.height = recording.height;
    store->subject.weight = recording.weight;
    const FileResult saved = saveMeasurementFile(path, *store);
    ASSERT_TRUE(saved.ok) << saved.reason;
}

RegisterFolder::RegisterFolder() : data_(dir_.path() + "/data") {
    std::filesystem::create_directories(data_);
}

std::string RegisterFolder::file(const std::string& relative) const {
    const std::filesystem::path path = std::filesystem::path(data_) / relative;
    std::filesystem::create_directories(path.parent_path());
    return path.string();
}

std::unique_ptr<SubjectRegister> RegisterFolder::open() const {
    RegisterOpenResult result;
    auto reg = SubjectRegister::open(db(), data_, result);
    EXPECT_NE(reg, nullptr) << result.message;
    EXPECT_EQ(result.state, RegisterOpenState::Ok);
    return reg;
}

RegisterSubject subjectNamed(const std::string& name, char sex, const std::string& code) {
    RegisterSubject subject;
    subject.name = name;
    subject.sex = sex;
    subject.code = code;
    subject.heightCm = 170;
    subject.weightKg = 70;
    return subject;
}

TestRecording person(const std::string& name, int32_t sex, uint32_t seed, int64_t start) {
    TestRecording r;
    r.name = name;
    r.sex = sex;
    r.seed = seed;
    r.start = start;
    return r;
}

}  // namespace kenvo::test
