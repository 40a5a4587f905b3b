#include "register/register_paths.h"
#include "register/register_statement.h"
#include "register/subject_register.h"

namespace kenvo {

CheckReport SubjectRegister::check() {
    CheckReport report;
    {
        reg::Statement integrity(db_, "PRAGMA integrity_check");
        int code = SQLITE_ROW;
        while ((code = integrity.step()) == SQLITE_ROW) {
            if (!report.integrity.empty()) report.integrity += "\n";
            report.integrity += integrity.text(0);
        }
        if (code != SQLITE_DONE) report.integrity = "the check could not run: " + integrity.error();
    }
    reg::Statement query(
        db_, "SELECT file, file_size, file_mtime_ns, status FROM sessions ORDER BY file");
    int code = SQLITE_ROW;
    while ((code = query.step()) == SQLITE_ROW) {
        const std::string file = query.text(0);
        const reg::FileState state = reg::fileState(reg::openablePath(file, dataFolder_));
        if (!state.exists)
            report.problems.push_back(file + ": missing");
        else if (state.size != static_cast<uint64_t>(query.integer(1)) ||
                 state.mtimeNs != query.integer(2))
            report.problems.push_back(file + ": changed since it was registered");
        else if (query.text(3) == "review")
            report.problems.push_back(file + ": waits for review");
    }
    if (code != SQLITE_DONE)
        report.problems.push_back("cannot read the sessions: " + query.error());
    return report;
}

}  // namespace kenvo
