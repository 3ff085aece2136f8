#include "processing/thumbnail_prefetch.h"

#include "image/bitmap32.h"
#include "image/resize.h"

#include <algorithm>
#include <system_error>

namespace galerion {

namespace {

constexpr unsigned kMaxWorkers = 4;

// Everything a thumbnail's making says is kept, whatever the caller's log shows.
TProcessingLog KeepingLog() {
    TProcessingLog log;
    for (int level = 0; level < TProcessingLog::kLevelCount; ++level) log.SetLevel(level, true);
    return log;
}

}  // namespace

TThumbnailPrefetch::TThumbnailPrefetch(std::vector<TJob> jobs, int boxWidth, int boxHeight,
                                       bool keepSmaller, TColourProfiles colour)
    : jobs_(std::move(jobs)),
      results_(jobs_.size()),
      boxWidth_(boxWidth),
      boxHeight_(boxHeight),
      keepSmaller_(keepSmaller),
      colour_(colour) {
    const unsigned cores = std::max(1u, std::min(std::thread::hardware_concurrency(), kMaxWorkers));
    const unsigned workers = std::min<unsigned>(cores, static_cast<unsigned>(jobs_.size()));
    // Far enough ahead to keep every helper busy, near enough that a stop wastes little.
    window_ = static_cast<int>(workers) + 1;
    for (unsigned k = 0; k < workers; ++k) {
        try {
            workers_.emplace_back([this] { Work(); });
        } catch (const std::system_error&) {
            break;  // no thread to be had: Take makes the thumbnails itself
        }
    }
}

TThumbnailPrefetch::~TThumbnailPrefetch() {
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
    }
    changed_.notify_all();
    for (std::thread& worker : workers_) worker.join();
}

void TThumbnailPrefetch::Work() {
    TThumbnailRasters rasters;  // reused from photo to photo
    rasters.Mode = colour_;
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] {
            return closing_ || nextJob_ >= static_cast<int>(jobs_.size()) ||
                   nextJob_ < takenJobs_ + window_;
        });
        if (closing_ || nextJob_ >= static_cast<int>(jobs_.size())) return;
        const int job = nextJob_++;
        lock.unlock();
        TResult result;
        TProcessingLog log = KeepingLog();
        try {
            const TJob& j = jobs_[static_cast<size_t>(job)];
            MakeWorkingThumbnail(j.source, j.target, boxWidth_, boxHeight_, keepSmaller_, sfNearest,
                                 log, rasters);
        } catch (...) {
            result.error = std::current_exception();
        }
        result.lines = log.Lines();
        result.done = true;
        lock.lock();
        results_[static_cast<size_t>(job)] = std::move(result);
        changed_.notify_all();
    }
}

int TThumbnailPrefetch::PositionOf(int index) const {
    const auto it = std::lower_bound(jobs_.begin(), jobs_.end(), index,
                                     [](const TJob& job, int i) { return job.index < i; });
    return it != jobs_.end() && it->index == index ? static_cast<int>(it - jobs_.begin()) : -1;
}

bool TThumbnailPrefetch::Has(int index) const { return PositionOf(index) >= 0; }

void TThumbnailPrefetch::Take(int index, TProcessingLog& log) {
    const int position = PositionOf(index);
    if (position < 0) return;
    TResult result;
    {
        std::unique_lock lock(mutex_);
        takenJobs_ = std::max(takenJobs_, position);
        changed_.notify_all();
        if (workers_.empty() && nextJob_ <= position) {
            // Without helpers the job is done here, in order.
            nextJob_ = position + 1;
            lock.unlock();
            TThumbnailRasters rasters;
            rasters.Mode = colour_;
            TProcessingLog own = KeepingLog();
            const TJob& j = jobs_[static_cast<size_t>(position)];
            try {
                MakeWorkingThumbnail(j.source, j.target, boxWidth_, boxHeight_, keepSmaller_,
                                     sfNearest, own, rasters);
            } catch (...) {
                result.error = std::current_exception();
            }
            result.lines = own.Lines();
            lock.lock();
        } else {
            changed_.wait(lock, [&] { return results_[static_cast<size_t>(position)].done; });
            result = std::move(results_[static_cast<size_t>(position)]);
        }
        takenJobs_ = std::max(takenJobs_, position + 1);
        changed_.notify_all();
    }
    for (const TLogLine& line : result.lines) log.AddLogLine(line.text, line.mark.imageIndex);
    if (result.error) std::rethrow_exception(result.error);
}

}  // namespace galerion
