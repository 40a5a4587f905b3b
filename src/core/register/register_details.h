#pragma once

#include <string>

#include "register/register_records.h"

namespace kenvo::reg {

// Writes the subject's details and id into the sidecar of `kplatPath`, keeping what a readable
// sidecar holds beside them (protocol, conditions); a stale sidecar is replaced. A sidecar that
// cannot be read (damaged, or of a newer program) is left alone and reported.
bool writeDetailsBeside(const std::string& kplatPath, const RegisterSubject& subject,
                        std::string& error);

// DATA/subjects/ID.json for a subject without sessions (folder 0700, file 0600), and its
// removal once the subject has sessions whose sidecars carry the details.
bool writeSubjectFile(const std::string& dataFolder, const RegisterSubject& subject,
                      std::string& error);
void removeSubjectFile(const std::string& dataFolder, int64_t id);

}  // namespace kenvo::reg
