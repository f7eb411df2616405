#pragma once

// How a long piece of work (a copy, a comparison) reports its progress and hears a request to stop.

#include "core/filesystem.h"
#include "core/result.h"

#include <QString>

#include <cstdint>
#include <functional>

namespace dyadix {

// How far a copy, move or delete has come.
struct WorkProgress
{
    QString verb;          // "Copying", "Moving", "Deleting", "Comparing"
    int file = 0;          // the file being worked on, counted from 1
    int files = 0;         // files in all
    std::int64_t bytesDone = 0;
    std::int64_t bytes = 0; // bytes in all
    std::int64_t elapsedMs = 0;
};

// "Copying file 3 of 10 - 1.2 MB of 5.6 MB", then with the rate and the time left once a
// second has gone by: "- 12.3 MB/s - 0:05 left". Without a count of files (a listing):
// "Listing - 1234 files so far".
QString progressText(const WorkProgress &progress);

// Watches a long action: runs each file's work so that the window stays alive, shows the
// progress and tells the action when the user wants it to stop.
class WorkMonitor
{
public:
    virtual ~WorkMonitor() = default;
    virtual void begin(const QString &verb, int files, std::int64_t bytes) = 0;
    // Starts on the next file, of the given size; or on the next few files at once, of that
    // size together.
    virtual void nextFile(std::int64_t bytes, int files = 1) = 0;
    // Runs the work for the current file; the work's progress callback hears its bytes and
    // answers false once the work must stop at once.
    virtual Status run(const std::function<Status(const FileSystem::CopyProgress &)> &work) = 0;
    // Whether the user asked to stop once the current file is done.
    virtual bool stopRequested() const = 0;
    virtual void end() = 0;
};

// Runs the work at once on the caller's thread and never stops it: for callers without a
// window.
class InlineWorkMonitor final : public WorkMonitor
{
public:
    void begin(const QString &, int, std::int64_t) override {}
    void nextFile(std::int64_t, int) override {}
    Status run(const std::function<Status(const FileSystem::CopyProgress &)> &work) override
    {
        return work({});
    }
    bool stopRequested() const override { return false; }
    void end() override {}
};

} // namespace dyadix
