#include "pictures_fixture.h"

#include "processing/album_preparation.h"
#include "support/files.h"
#include "support/test_database.h"

namespace galerion::test {

TPageFixture::TPageFixture() {
    log.ApplyLogSwitches(true, true, true);
    settings.DB = CreateDatabase(root / "site.db");
    page = std::make_unique<ui::TPicturesPage>(context, host);
    host.page = page.get();
    page->resize(900, 600);
}

std::string TPageFixture::MakeAlbum(const std::string& name, int count, int width, int height) {
    const std::string folder = root / name;
    MakeFolder(folder);
    for (int i = 0; i < count; ++i)
        WriteJpeg(folder + "/p" + std::to_string(i) + ".jpg", width, height);
    return folder;
}

void TPageFixture::Open(const std::vector<std::string>& folders) {
    albums.Clear();
    for (const std::string& folder : folders) albums.AddAlbum(folder);
    page->StartWithAlbums();
    TBusyScope scope(busy);
    PrepareAlbum(context, page->CurrentAlbum());
}

}  // namespace galerion::test
