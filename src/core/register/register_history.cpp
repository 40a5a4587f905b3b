#include "register/register_median.h"
#include "register/register_statement.h"
#include "register/subject_register.h"

namespace kenvo {

std::vector<HistoryPoint> SubjectRegister::history(int64_t subjectId, ClinicalMeasure measure,
                                                   const std::string& condition) const {
    const std::string column(clinicalMeasureInfo(measure).column);
    const std::string sql = "SELECT s.id, s.recorded_at, s.file, a.condition, a.\"" + column +
                            "\", a.discarded"
                            " FROM sessions s JOIN attempts a ON a.session_id = s.id"
                            " WHERE s.subject_id = ?1 AND s.test IN ('stance', 'sensory')"
                            " ORDER BY s.recorded_at, s.id, a.attempt";
    reg::Statement query(db_, sql.c_str());
    query.bind(1, subjectId);

    std::vector<HistoryPoint> points;
    // The kept attempts of the session being read: with conditions, only those of `condition`
    // count; a session without conditions counts all of them.
    struct Pending {
        HistoryPoint point;
        bool hasConditions = false;
        std::vector<std::optional<double>> all;
        std::vector<std::optional<double>> ofCondition;
    };
    std::optional<Pending> pending;
    const auto finish = [&] {
        if (!pending) return;
        auto& values = pending->hasConditions ? pending->ofCondition : pending->all;
        if (!values.empty()) {
            pending->point.attempts = static_cast<int>(values.size());
            pending->point.value = reg::medianOf(std::move(values));
            points.push_back(std::move(pending->point));
        }
        pending.reset();
    };
    while (query.step() == SQLITE_ROW) {
        const int64_t id = query.integer(0);
        if (!pending || pending->point.sessionId != id) {
            finish();
            pending.emplace();
            pending->point.sessionId = id;
            pending->point.recordedAt = query.integer(1);
            pending->point.file = query.text(2);
        }
        // A discarded attempt still says that the session has conditions.
        const bool kept = query.integer(5) == 0;
        const std::optional<double> value = query.real(4);
        if (kept) pending->all.push_back(value);
        if (!query.isNull(3)) {
            pending->hasConditions = true;
            if (kept && query.text(3) == condition) pending->ofCondition.push_back(value);
        }
    }
    finish();
    return points;
}

}  // namespace kenvo
