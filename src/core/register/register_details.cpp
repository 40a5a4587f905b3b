#include "register/register_details.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "files/atomic_file.h"
#include "files/sidecar.h"
#include "register/register_paths.h"
#include "register/register_rows.h"

namespace kenvo::reg {

bool writeDetailsBeside(const std::string& kplatPath, const RegisterSubject& subject,
                        std::string& error) {
    SidecarRead read = readSidecar(kplatPath);
    Sidecar base;
    switch (read.state) {
        case SidecarState::Valid:
            base = read.sidecar;
            break;
        case SidecarState::Absent:
        case SidecarState::Stale:
            break;
        case SidecarState::Damaged:
            error = read.message + " The details of " + subject.name +
                    " were not written over it; move it away and save again.";
            return false;
    }
    return writeSidecar(kplatPath, withSubjectDetails(base, subject), error);
}

bool writeSubjectFile(const std::string& dataFolder, const RegisterSubject& subject,
                      std::string& error) {
    const std::string folder = subjectFolderOf(dataFolder);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        error = "cannot create the folder " + folder + ": " + std::strerror(errno);
        return false;
    }
    const std::string text = sidecarJson(withSubjectDetails(Sidecar{}, subject));
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    return writeFileAtomically(subjectFilePath(dataFolder, subject.id), {bytes, text.size()}, error,
                               FileAccess::Private);
}

void removeSubjectFile(const std::string& dataFolder, int64_t id) {
    ::unlink(subjectFilePath(dataFolder, id).c_str());
}

}  // namespace kenvo::reg
