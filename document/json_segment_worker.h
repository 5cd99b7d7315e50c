// Paths' segments read from the text of their arrays on a thread of its own, while the loader
// reads on: in a large document most of the text is segments, and reading them is the larger
// part of the loader's work.
#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "document/document.h"

namespace document {

class SegmentWorker {
public:
    SegmentWorker();
    // Stops the thread; work not yet done is dropped.
    ~SegmentWorker();
    SegmentWorker(const SegmentWorker&) = delete;
    SegmentWorker& operator=(const SegmentWorker&) = delete;

    // Has the segments array `text` (from its '[' on) read into `art`'s segments, which nothing
    // else may touch until Finish() returns.
    void Add(Art* art, std::string_view text);
    // Waits until every array added has been read, helping with what is left. False when one
    // of them was not all plain segments (json_segment.h) or held too many: those paths'
    // segments are then incomplete, and the document must be read again without the worker.
    bool Finish();

private:
    struct Job {
        Art* art;
        size_t offset;  // in the batch's text
        size_t length;
    };
    struct Batch {
        std::string text;  // the arrays, each followed by padding for the reader
        std::vector<Job> jobs;
    };

    static std::unique_ptr<Batch> NewBatch();
    void Run();
    // Reads a batch; false when an array was refused.
    static bool Read(const Batch& batch);
    // Queues the batch being filled, if it holds any array; with the lock held.
    void Submit();
    // Takes a queued batch and reads it; false when none was queued. With `lock` held, released
    // while reading.
    bool ReadOne(std::unique_lock<std::mutex>& lock);

    std::mutex mutex_;
    std::condition_variable wake_;  // a batch was queued, or the thread is to stop
    std::condition_variable idle_;  // the thread finished a batch
    std::deque<std::unique_ptr<Batch>> queue_;
    std::unique_ptr<Batch> filling_;  // touched by the loader's thread only
    bool stopping_ = false;
    bool reading_ = false;  // the thread is reading a batch
    bool failed_ = false;
    std::thread thread_;
};

}  // namespace document
