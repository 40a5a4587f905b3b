#pragma once

#include <cstdlib>
#include <ctime>
#include <string>

namespace kenvo::test {

// Runs a test in a fixed time zone given as a POSIX rule ("UTC", "XXX-14"; no zone database
// needed) and puts the process's zone back afterwards.
class InTimeZone {
  public:
    explicit InTimeZone(const char* rule) {
        if (const char* tz = std::getenv("TZ")) {
            saved_ = tz;
            hadZone_ = true;
        }
        setenv("TZ", rule, 1);
        tzset();
    }
    ~InTimeZone() {
        if (hadZone_)
            setenv("TZ", saved_.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    InTimeZone(const InTimeZone&) = delete;
    InTimeZone& operator=(const InTimeZone&) = delete;

  private:
    std::string saved_;
    bool hadZone_ = false;
};

}  // namespace kenvo::test
