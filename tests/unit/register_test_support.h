#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "model/test_settings.h"
#include "register/subject_register.h"
#include "support/temp_dir.h"

namespace kenvo::test {

// A measurement file made for the register's tests: imported COP attempts of a quiet-stance
// like trace, with the given subject record.
struct TestRecording {
    std::string name = "Ann Novak";  // UTF-8
    int32_t sex = 0;                 // 0 female, 1 male
    int32_t height = 165;
    int32_t weight = 60;
    int attempts = 3;
    int samples = 1000;  // per attempt, 100 Hz; 0 makes empty attempts
    uint32_t seed = 1;
    int64_t start = 1700000000;  // the first attempt's start, seconds since 1970
    int32_t mode = TestModeStance;
};
void writeRecording(const std::string& path, const TestRecording& recording);
// The recording of one person: their name and sex (0 female, 1 male), the sway's seed and the
// first attempt's start; everything else as TestRecording has it.
TestRecording person(const std::string& name, int32_t sex, uint32_t seed, int64_t start);

// A data folder in a temporary folder with its register.
class RegisterFolder {
  public:
    RegisterFolder();
    const std::string& data() const { return data_; }
    std::string db() const { return data_ + "/" + DefaultRegisterFileName; }
    std::string file(const std::string& relative) const;  // creates the folders on the way
    // Opens the register, failing the test when it cannot be opened.
    std::unique_ptr<SubjectRegister> open() const;

  private:
    TempDir dir_;
    std::string data_;
};

// A register subject with the details most tests need.
RegisterSubject subjectNamed(const std::string& name, char sex = 'F', const std::string& code = {});

}  // namespace kenvo::test
