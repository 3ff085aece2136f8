#pragma once
// Working on a photo's rows while the decoder is still writing the later ones: the decoder runs
// on the calling thread, the work on a second one, which waits for the rows it needs.
#include "image/bitmap32.h"
#include "image/colour_profile.h"

#include <atomic>
#include <functional>
#include <string>

namespace galerion {

class TDecodedRows {
public:
    // Waits until `rows` rows of the raster are written or the decoder has ended, done or
    // failed; the rows written by then. Once it returned a row count above 0, the raster's size
    // and pixel address stay as they are until the load returns.
    int WaitFor(int rows) const;

private:
    friend void LoadPictureAlongside(TBitmap32&, const std::string&,
                                     const std::function<void(const TDecodedRows&)>&,
                                     TColourProfiles);
    std::atomic<int> done_{0};
    std::atomic<bool> finished_{false};
};

// LoadPicture into `bitmap` while `work` runs on a second thread; returns when both have ended.
// `colour` says what is done with the photo's profile.
// A decoder error is raised first, then an error of `work`. Without a thread to be had, the
// photo is decoded first and `work` runs after it on this thread.
void LoadPictureAlongside(TBitmap32& bitmap, const std::string& path,
                          const std::function<void(const TDecodedRows&)>& work,
                          TColourProfiles colour = TColourProfiles::ToSrgb);

}  // namespace galerion
