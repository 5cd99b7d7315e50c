#include "document/json_segment_worker.h"

#include <utility>

#include "document/json_fast_reader.h"
#include "document/json_loader.h"
#include "document/json_segment.h"

namespace document {

namespace {

// Texts are copied in batches of about this many bytes, one wake-up of the thread each.
constexpr size_t kSegmentBatchBytes = size_t(256) << 10;
// Queued batches beyond which the loader reads one itself rather than queue more text.
constexpr size_t kMostQueued = 8;

}  // namespace

SegmentWorker::SegmentWorker() : filling_(NewBatch()), thread_([this] { Run(); }) {}

SegmentWorker::~SegmentWorker() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        queue_.clear();
    }
    wake_.notify_one();
    thread_.join();
}

void SegmentWorker::Add(Art* art, std::string_view text) {
    Batch& batch = *filling_;
    batch.jobs.push_back(Job{art, batch.text.size(), text.size()});
    batch.text.append(text);
    batch.text.append(kFastReaderPadding, '\0');
    if (batch.text.size() < kSegmentBatchBytes) return;
    // The next batch is made, and the thread woken, without the lock: the thread would wait
    // for it otherwise, woken only to sleep again.
    std::unique_ptr<Batch> full = std::exchange(filling_, NewBatch());
    std::unique_lock<std::mutex> lock(mutex_);
    queue_.push_back(std::move(full));
    const bool readHere = queue_.size() > kMostQueued;
    lock.unlock();
    wake_.notify_one();
    if (readHere) {
        lock.lock();
        ReadOne(lock);
    }
}

std::unique_ptr<SegmentWorker::Batch> SegmentWorker::NewBatch() {
    auto batch = std::make_unique<Batch>();
    batch->text.reserve(kSegmentBatchBytes + (kSegmentBatchBytes >> 2));
    return batch;
}

void SegmentWorker::Submit() {
    if (filling_->jobs.empty()) return;
    queue_.push_back(std::exchange(filling_, std::make_unique<Batch>()));
    wake_.notify_one();
}

bool SegmentWorker::ReadOne(std::unique_lock<std::mutex>& lock) {
    if (queue_.empty()) return false;
    std::unique_ptr<Batch> batch = std::move(queue_.front());
    queue_.pop_front();
    lock.unlock();
    const bool read = Read(*batch);
    batch.reset();
    lock.lock();
    failed_ = failed_ || !read;
    return true;
}

bool SegmentWorker::Finish() {
    std::unique_lock<std::mutex> lock(mutex_);
    Submit();
    while (ReadOne(lock)) {
    }
    idle_.wait(lock, [this] { return !reading_; });
    return !failed_;
}

void SegmentWorker::Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (true) {
        wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (stopping_) return;
        reading_ = true;
        ReadOne(lock);
        reading_ = false;
        idle_.notify_all();
    }
}

bool SegmentWorker::Read(const Batch& batch) {
    std::vector<PathSegment> segments;
    for (const Job& job : batch.jobs) {
        const char* text = batch.text.data() + job.offset;
        const char* end = json_segment::ReadSegments(text, kMaxSegments, segments);
        // The array must end where the parser found its end: only white space may follow.
        if (end == nullptr || json_point::SkipSpace(end) != text + job.length) return false;
        job.art->segments.assign(segments.begin(), segments.end());
    }
    return true;
}

}  // namespace document
