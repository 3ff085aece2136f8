#pragma once
// What the Pictures page tests share: a fresh folder, tiny real photos, a real SQLite file made
// by the shipped table script, and a host that records messages and hands the pictures view to
// the page under test.
#include "core/host/user_host.h"
#include "core/model.h"
#include "core/processing_log.h"
#include "core/settings.h"
#include "image/bitmap32.h"
#include "processing/busy_state.h"
#include "processing/wizard_context.h"
#include "ui/pictures/pictures_page.h"

#include <QTemporaryDir>

#include <memory>
#include <string>
#include <vector>

namespace galerion::test {

// A photo of w x h with a colour gradient, so that turns and crops show.
void WriteJpeg(const std::string& path, int width, int height);
std::string CreateDatabase(const std::string& file);

class TPageHost : public TUserHost {
public:
    std::vector<std::string> errors, warnings, statuses;
    ui::TPicturesPage* page = nullptr;

    void ShowError(const std::string& t) override { errors.push_back(t); }
    void ShowWarning(const std::string& t) override { warnings.push_back(t); }
    void ShowInformation(const std::string&) override {}
    bool Confirm(const std::string&) override { return true; }
    TExistingAlbumReply AskExistingAlbum(const std::string&) override { return {}; }
    [[noreturn]] void ExitProgram(int code) override;
    void SetStatusText(const std::string& t) override { statuses.push_back(t); }

    int TileAreaWidth() const override { return page ? page->TileAreaWidth() : 0; }
    std::unique_ptr<TVisualPictureItem> CreateTile(TPictureItem& picture,
                                                   const TTilePlacement& where) override {
        return page ? page->CreateTile(picture, where) : nullptr;
    }
    void ClearFacePicture() override {
        if (page) page->ClearFacePicture();
    }
    void ShowAlbumDetails(const TAlbumItem& album) override {
        if (page) page->ShowAlbumDetails(album);
    }
    void RepaintAlbumList() override {
        if (page) page->RepaintAlbumList();
    }
    void SetProcessButton(const std::string& caption, bool enabled) override {
        if (page) page->SetProcessButton(caption, enabled);
    }
};

// The wizard's pieces around one Pictures page, with a database and an album root folder.
struct TPageFixture {
    QTemporaryDir root;
    TPageHost host;
    TProcessingLog log;
    TSettings settings;
    TAlbumList albums;
    TBusyState busy{host};
    TWizardContext context{albums, settings, log, host, busy};
    std::unique_ptr<ui::TPicturesPage> page;

    TPageFixture();
    std::string Path(const std::string& name) const;
    // A folder below the root with `count` photos named p0.jpg, p1.jpg ...
    std::string MakeAlbum(const std::string& name, int count, int width = 60, int height = 40);
    // "Pictures >" for these folders: the album list, then album 0 prepared.
    void Open(const std::vector<std::string>& folders);
};

}  // namespace galerion::test
