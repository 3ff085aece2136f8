#include "pictures_fixture.h"

#include "db/table_script.h"
#include "image/jpeg_codec.h"
#include "processing/album_preparation.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace galerion::test {

void WriteJpeg(const std::string& path, int width, int height) {
    TBitmap32 bitmap;
    bitmap.SetSize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap.SetPixel(x, y, Color32(x * 255 / std::max(width - 1, 1),
                                          y * 255 / std::max(height - 1, 1), 128));
    SaveJpeg(bitmap, 90, path);
}

std::string CreateDatabase(const std::string& file) {
    const std::string connection = "Provider=SQLite;Data Source=" + file;
    const char* bin = std::getenv("GALERION_TEST_BIN");
    TPageHost host;
    CreateTablesFromScript(connection, host, std::string(bin ? bin : ".") + "/create_tables.sql");
    if (!host.errors.empty()) throw std::runtime_error("table script failed: " + host.errors[0]);
    return connection;
}

void TPageHost::ExitProgram(int code) {
    throw std::runtime_error("program ended with code " + std::to_string(code));
}

TPageFixture::TPageFixture() {
    log.ApplyLogSwitches(true, true, true);
    settings.DB = CreateDatabase(Path("site.db"));
    page = std::make_unique<ui::TPicturesPage>(context, host);
    host.page = page.get();
    page->resize(900, 600);
}

std::string TPageFixture::Path(const std::string& name) const {
    return root.path().toStdString() + "/" + name;
}

std::string TPageFixture::MakeAlbum(const std::string& name, int count, int width, int height) {
    const std::string folder = Path(name);
    std::filesystem::create_directories(folder);
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
