#pragma once

// The file helper: a copy of the program, made at start, that runs file operations the
// program must never wait on itself (on network folders that may stop answering).

#include "helperprotocol.h"

#include "core/filesystem.h"

namespace dyadix::helper {

// Starts the helper. It must be called while the program has no other thread (first thing
// in main), since the helper is a copy of the process at that moment.
void start();

// What the helper answered: its error (number 0: none) and value; not `ran` when there is no
// helper to run it or it is busy with another caller's (the caller then runs it itself).
struct Answer
{
    bool ran = false;
    RunTimeError error;
    std::int64_t value = 0;
};

// Runs one request in the helper, one caller at a time, passing a copy's progress on; a false
// answer of the progress stops the copy there. A helper that is gone leaves the outcome
// unknown: "Device I/O error", and no later request goes to it.
Answer ask(const Request &request, const FileSystem::CopyProgress &progress = {});

} // namespace dyadix::helper
