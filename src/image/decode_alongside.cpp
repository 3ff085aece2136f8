#include "image/decode_alongside.h"

#include "image/jpeg_codec.h"

#include <exception>
#include <system_error>
#include <thread>

namespace galerion {

int TDecodedRows::WaitFor(int rows) const {
    for (;;) {
        const int now = done_.load(std::memory_order_acquire);
        if (now >= rows) return now;
        // The last count was published before `finished_`: read it again.
        if (finished_.load(std::memory_order_acquire)) return done_.load(std::memory_order_acquire);
        done_.wait(now, std::memory_order_acquire);
    }
}

void LoadPictureAlongside(TBitmap32& bitmap, const std::string& path,
                          const std::function<void(const TDecodedRows&)>& work,
                          TColourProfiles colour) {
    const TColourDecoding decoding{colour};
    TDecodedRows rows;
    std::exception_ptr workError;
    auto runWork = [&] {
        try {
            work(rows);
        } catch (...) {
            workError = std::current_exception();
        }
    };
    std::thread worker;
    try {
        worker = std::thread(runWork);
    } catch (const std::system_error&) {
        LoadPicture(bitmap, path, decoding, &rows.done_);
        rows.finished_ = true;  // the work finds the whole raster at once
        runWork();
        if (workError) std::rethrow_exception(workError);
        return;
    }
    // The worker is told that nothing more will come, whether the decoder ended or failed.
    auto finish = [&] {
        rows.finished_.store(true, std::memory_order_release);
        rows.done_.notify_all();
        worker.join();
    };
    try {
        LoadPicture(bitmap, path, decoding, &rows.done_);
    } catch (...) {
        finish();
        throw;
    }
    finish();
    if (workError) std::rethrow_exception(workError);
}

}  // namespace galerion
