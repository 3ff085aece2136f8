#pragma once
// Decodes the album's next photo on a second core while the current one is turned, scaled and
// encoded. Nothing observable moves: log lines, rows and stop checks stay on the caller's thread.
#include "image/bitmap32.h"
#include "image/jpeg_codec.h"

#include <exception>
#include <future>
#include <string>

namespace galerion {

struct TLoadRequest {
    int index = -1;
    std::string path;
    bool headerOnly = false;  // no output will be written: the header's size is enough
    TColourProfiles colour = TColourProfiles::ToSrgb;
};

struct TLoadedPicture {
    int width = 0;
    int height = 0;
    bool decoded = false;   // false: only the header was read, the master is untouched
    TPictureColour colour;  // the photo's profile, when decoded
};

class TPictureLoader {
public:
    TPictureLoader() = default;
    ~TPictureLoader();
    TPictureLoader(const TPictureLoader&) = delete;
    TPictureLoader& operator=(const TPictureLoader&) = delete;

    // Starts loading in the background; replaces any request not yet taken.
    void Prefetch(const TLoadRequest& request);
    // The picture of `request` in `master` (decoded there unless prefetched); rethrows the
    // decoder's error.
    TLoadedPicture Take(const TLoadRequest& request, TBitmap32& master);

private:
    void Wait();

    TLoadRequest pending_;
    std::future<void> job_;
    TSrgbConversion conversion_;  // one load at a time uses it, prefetched or not
    TBitmap32 spare_;
    TLoadedPicture spareResult_;
    std::exception_ptr spareError_;
};

}  // namespace galerion
