#pragma once

#include <cstdint>
#include <string>

namespace kenvo {

// The subject a data set belongs to. Strings hold Windows-1250 bytes, exactly as the data
// file carries them; the user interface converts at its edge.
struct SubjectRecord {
    std::string name;
    int32_t sex = 0;     // 0 female, 1 male
    int32_t height = 0;  // 0..250
    int32_t weight = 0;  // 0..500
    std::string comment1;
    std::string comment2;
    std::string comment3;

    friend bool operator==(const SubjectRecord&, const SubjectRecord&) = default;
};

}  // namespace kenvo
