#include "processing/picture_loader.h"

#include "image/jpeg_codec.h"

#include <utility>

namespace galerion {
namespace {

TLoadedPicture Load(const TLoadRequest& request, TBitmap32& raster, TSrgbConversion& conversion) {
    if (request.headerOnly) {
        const TJpegSize size = ReadJpegSize(request.path);
        return {size.Width, size.Height, false, {}};
    }
    TPictureColour colour = LoadPicture(raster, request.path, {request.colour, &conversion});
    return {raster.Width(), raster.Height(), true, std::move(colour)};
}

}  // namespace

TPictureLoader::~TPictureLoader() { Wait(); }

void TPictureLoader::Wait() {
    if (job_.valid()) job_.wait();
}

void TPictureLoader::Prefetch(const TLoadRequest& request) {
    Wait();
    if (request.headerOnly) {
        // A header is read at once when taken; a thread of its own would cost more than that.
        job_ = {};
        pending_ = {};
        return;
    }
    pending_ = request;
    spareError_ = nullptr;
    job_ = std::async(std::launch::async, [this] {
        try {
            spareResult_ = Load(pending_, spare_, conversion_);
        } catch (...) {
            spareError_ = std::current_exception();
        }
    });
}

TLoadedPicture TPictureLoader::Take(const TLoadRequest& request, TBitmap32& master) {
    const bool prefetched =
        job_.valid() && pending_.index == request.index && pending_.path == request.path &&
        pending_.headerOnly == request.headerOnly && pending_.colour == request.colour;
    if (!prefetched) {
        Wait();
        job_ = {};
        return Load(request, master, conversion_);
    }
    job_.get();
    pending_ = {};
    if (spareError_) std::rethrow_exception(std::exchange(spareError_, nullptr));
    if (spareResult_.decoded) std::swap(master, spare_);
    return std::move(spareResult_);
}

}  // namespace galerion
