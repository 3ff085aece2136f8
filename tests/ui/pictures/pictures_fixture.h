#pragma once
// What the Pictures page tests share: the wizard's pieces around one page, with a fresh folder,
// tiny real photos and a real SQLite file made by the shipped table script. The host records
// messages and hands the pictures view to the page under test.
#include "core/model.h"
#include "core/processing_log.h"
#include "core/settings.h"
#include "processing/busy_state.h"
#include "processing/wizard_context.h"
#include "support/scripted_host.h"
#include "support/temp_folder.h"
#include "ui/pictures/pictures_page.h"

#include <memory>
#include <string>
#include <vector>

namespace galerion::test {

class TPageHost : public TScriptedHost {
public:
    ui::TPicturesPage* page = nullptr;

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

struct TPageFixture {
    TTempFolder root;
    TPageHost host;
    TProcessingLog log;
    TSettings settings;
    TAlbumList albums;
    TBusyState busy{host};
    TWizardContext context{albums, settings, log, host, busy};
    std::unique_ptr<ui::TPicturesPage> page;

    TPageFixture();
    // A folder below the root with `count` photos named p0.jpg, p1.jpg ...
    std::string MakeAlbum(const std::string& name, int count, int width = 60, int height = 40);
    // "Pictures >" for these folders: the album list, then album 0 prepared.
    void Open(const std::vector<std::string>& folders);
};

}  // namespace galerion::test
