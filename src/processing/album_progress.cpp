#include "processing/album_progress.h"

#include "processing/busy_state.h"

namespace galerion {
namespace {

// Six steps a picture and ten for the album's database phase.
int ProgressMaximum(int pictureCount) { return 6 * pictureCount + 10; }

}  // namespace

TAlbumProgress::TAlbumProgress(TBusyDisplay& display, TBusyState& busy, const TRunProgress& where)
    : display_(display),
      busy_(busy),
      where_(where),
      prefix_("Photos: " + std::to_string(where.pictureCount) + ". ") {
    display_.SetProgressMax(ProgressMaximum(where.pictureCount));
    display_.SetProgressPosition(0);
    display_.ReportProgress(where_);
}

void TAlbumProgress::BeginPicture(int number) {
    where_.picture = number;
    display_.ReportProgress(where_);
}

bool TAlbumProgress::StopRequestedAfter(const std::string& status, int steps) {
    display_.SetStatusText(status);
    position_ += steps;
    display_.SetProgressPosition(position_);
    return busy_.StopRequested();
}

}  // namespace galerion
