#pragma once
// Working thumbnails made ahead of the preparation loop on helper threads. The loop takes them
// in list order; what making a thumbnail logged reaches the caller's log when it is taken, and
// its error is raised there, so the log and the user see the same order as one by one.
#include "core/processing_log.h"
#include "image/colour_profile.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace galerion {

class TThumbnailPrefetch {
public:
    struct TJob {
        int index;           // the picture's index in its list
        std::string source;  // the photo
        std::string target;  // the working thumbnail
    };

    // Jobs in list order; no two may share a target. `colour` is what the thumbnails do with a
    // photo's profile.
    TThumbnailPrefetch(std::vector<TJob> jobs, int boxWidth, int boxHeight, bool keepSmaller,
                       TColourProfiles colour = TColourProfiles::ToSrgb);
    // No further job starts; the running ones are waited for.
    ~TThumbnailPrefetch();
    TThumbnailPrefetch(const TThumbnailPrefetch&) = delete;
    TThumbnailPrefetch& operator=(const TThumbnailPrefetch&) = delete;

    bool Has(int index) const;
    // Waits for the thumbnail of picture `index`, hands its log lines to `log` and raises the
    // error its making raised.
    void Take(int index, TProcessingLog& log);

private:
    struct TResult {
        bool done = false;
        std::vector<TLogLine> lines;
        std::exception_ptr error;
    };

    void Work();
    int PositionOf(int index) const;

    std::vector<TJob> jobs_;
    std::vector<TResult> results_;
    int boxWidth_, boxHeight_;
    bool keepSmaller_;
    TColourProfiles colour_;
    int window_;       // jobs started ahead of the one taken last
    int nextJob_ = 0;  // the next job to start
    int takenJobs_ = 0;
    bool closing_ = false;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::thread> workers_;
};

}  // namespace galerion
