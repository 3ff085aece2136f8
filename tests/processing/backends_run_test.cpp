// The processing run on each database backend: the same rows on both, and a server that goes
// away in the middle of an album's database phase.
#include "processing/processing_run.h"

#include "core/log_messages.h"
#include "db/categories.h"
#include "db/query.h"
#include "db/table_script.h"
#include "platform/date_time.h"
#include "support/files.h"
#include "support/scripted_host.h"
#include "support/temp_folder.h"
#include "support/test_backends.h"
#include "support/test_database.h"
#include "support/wizard_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace galerion {
namespace {

using namespace test;
using test::TBackend;

enum class TKind { Text, Integer, Date, YesNo };
struct TColumn {
    const char* name;
    TKind kind;
};

// Every row of a statement, each value read the way the program reads its kind, sorted so that
// the backends' row orders do not matter.
std::vector<std::string> Rows(const std::string& connection, const std::string& sql,
                              const std::vector<TColumn>& columns) {
    const auto query = TQuery::Create(connection);
    query->SetText(sql);
    query->Open();
    std::vector<std::string> rows;
    for (; !query->Eof(); query->Next()) {
        std::string row;
        for (const TColumn& c : columns) {
            row += std::string(c.name) + "=";
            switch (c.kind) {
                case TKind::Text: row += query->FieldAsText(c.name); break;
                case TKind::Integer: row += std::to_string(query->FieldAsInteger(c.name)); break;
                case TKind::Date: row += DateTimeToIsoText(query->FieldAsDateTime(c.name)); break;
                case TKind::YesNo: row += query->FieldAsBool(c.name) ? "yes" : "no"; break;
            }
            row += " | ";
        }
        rows.push_back(row);
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

// The site's rows with the database's own ids replaced by what they point at.
std::vector<std::string> SiteRows(const std::string& connection) {
    auto rows = Rows(connection,
                     "SELECT a.*, (SELECT p.filename_original FROM picture p WHERE p.picture_id "
                     "= a.face_picture_id) AS face_file FROM album a",
                     {{"original_path", TKind::Text},
                      {"face_file", TKind::Text},
                      {"album_date", TKind::Date},
                      {"short_name", TKind::Text},
                      {"is_private", TKind::YesNo},
                      {"dir_name", TKind::Text},
                      {"long_name", TKind::Text},
                      {"description", TKind::Text},
                      {"alt_long_name", TKind::Text},
                      {"alt_description", TKind::Text}});
    const auto pictures =
        Rows(connection,
             "SELECT p.*, (SELECT a.original_path FROM album a WHERE a.album_id = p.album_id) AS "
             "album_path FROM picture p",
             {{"title", TKind::Text},
              {"alt_title", TKind::Text},
              {"filename_original", TKind::Text},
              {"filename_large", TKind::Text},
              {"filename_medium", TKind::Text},
              {"filename_thumb", TKind::Text},
              {"hash_original", TKind::Text},
              {"hash_large", TKind::Text},
              {"hash_medium", TKind::Text},
              {"hash_thumb", TKind::Text},
              {"hash_temp", TKind::Text},
              {"picture_date", TKind::Date},
              {"is_private", TKind::YesNo},
              {"is_deleted", TKind::YesNo},
              {"orientation", TKind::Integer},
              {"crop_X1", TKind::Integer},
              {"crop_Y1", TKind::Integer},
              {"crop_X2", TKind::Integer},
              {"crop_Y2", TKind::Integer},
              {"width", TKind::Integer},
              {"height", TKind::Integer},
              {"album_path", TKind::Text}});
    const auto categories = Rows(
        connection,
        "SELECT p.filename_original, c.title FROM picture_to_category pc, picture p, category c "
        "WHERE p.picture_id = pc.picture_id AND c.category_id = pc.category_id",
        {{"filename_original", TKind::Text}, {"title", TKind::Text}});
    rows.insert(rows.end(), pictures.begin(), pictures.end());
    rows.insert(rows.end(), categories.begin(), categories.end());
    return rows;
}

class BackendsRun : public testing::Test {
protected:
    TWizardFixture f;
    std::string album = f.root / "O'Brien's trip";

    void SetUp() override {
        MakeFolder(album);
        WriteJpeg(album + "/a.jpg", 400, 300);
        WriteJpeg(album + "/b.jpg", 300, 400);
        WriteJpeg(album + "/c.jpg", 120, 90);
    }

    // Prepares the album against the database and gives it the user's edits.
    void PrepareWithEdits(const std::string& connection) {
        f.settings.DB = connection;
        std::vector<std::string> ids;
        for (const char* title : {"family", "sea \\ 'side'"}) {
            TCategoryItem item;
            item.title = title;
            ASSERT_TRUE(InsertCategory(connection, item, f.host));
            ids.push_back(std::to_string(item.category_id));
        }
        f.PrepareAll({album});
        TAlbumItem& a = *f.albums.AlbumAt(0);
        a.AlbumDate = EncodeDateTime({2024, 5, 17});
        a.LongName = "Trip to \"Cork\" \\ 'Kerry'";
        a.Description = "";
        a.IsPrivate = true;
        TPictureItem& first = *a.PictureAt(0);
        first.Title = "100% %s";
        first.PictureDate = EncodeDateTime({2024, 5, 17, 8, 30, 5});
        first.Categories = ids;
        first.Orientation = -2;
        a.PictureAt(1)->IsDeleted = true;
        a.PictureAt(1)->Categories = {ids[1]};
        a.PictureAt(2)->IsFace = true;
        a.PictureAt(2)->IsPrivate = true;
    }
};

TEST_F(BackendsRun, SameAlbumGivesTheSameRowsOnBothBackends) {
    GALERION_REQUIRE_BACKEND(TBackend::Postgres);
    std::vector<std::vector<std::string>> sites;
    for (const TBackend backend : test::AllBackends()) {
        SCOPED_TRACE(test::BackendName(backend));
        const test::TTestSite site(backend);
        PrepareWithEdits(site.Connection());
        EXPECT_EQ(StartProcessing(f.context), TRunOutcome::Finished);
        EXPECT_TRUE(f.host.errors.empty());
        sites.push_back(SiteRows(site.Connection()));
    }
    ASSERT_EQ(sites.size(), 2u);
    EXPECT_EQ(sites[0].size(), 1u + 3u + 3u);
    EXPECT_EQ(sites[0], sites[1]);
}

// Stops the server as the database phase logs the named line.
class TServerStopper : public TLogView {
public:
    TServerStopper(test::TPrivateServer& server, std::string line)
        : server_(server), line_(std::move(line)) {}
    void LineAdded(const TLogLine& line) override {
        if (line.text == line_) server_.Stop();
    }

private:
    test::TPrivateServer& server_;
    std::string line_;
};

TEST_F(BackendsRun, ServerStoppedInTheDatabasePhaseEndsTheAlbumAndTheNextRunCompletesIt) {
    GALERION_REQUIRE_PRIVATE_SERVER();
    test::TPrivateServer server;
    test::TScriptedHost scriptHost;
    CreateTablesFromScript(server.Connection(), scriptHost);
    ASSERT_TRUE(scriptHost.errors.empty()) << scriptHost.errors[0];
    f.settings.DB = server.Connection();
    f.settings.UpdateMode = 2;  // update: a second run completes the stored album
    f.PrepareAll({album});
    const std::string web = f.albums.AlbumAt(0)->PictureAt(0)->WebOriginal;
    TServerStopper stopper(server, msg::InsertPictureNew(web));
    f.log.SetView(&stopper);

    EXPECT_EQ(StartProcessing(f.context), TRunOutcome::Finished);
    f.log.SetView(nullptr);
    ASSERT_EQ(f.host.errors.size(), 1u);
    EXPECT_NE(f.host.errors[0].find("connection"), std::string::npos) << f.host.errors[0];
    EXPECT_FALSE(f.Logged(msg::InsertPictureNew(f.albums.AlbumAt(0)->PictureAt(1)->WebOriginal)));

    server.Start();
    EXPECT_EQ(test::RawScalar(server.Connection(), "SELECT COUNT(*) FROM picture"), "1");
    f.host.errors.clear();
    f.PrepareAll({album});
    EXPECT_EQ(StartProcessing(f.context), TRunOutcome::Finished);
    EXPECT_TRUE(f.host.errors.empty());
    EXPECT_EQ(test::RawScalar(server.Connection(), "SELECT COUNT(*) FROM album"), "1");
    EXPECT_EQ(test::RawScalar(server.Connection(), "SELECT COUNT(*) FROM picture"), "3");
    EXPECT_EQ(test::RawScalar(server.Connection(),
                              "SELECT COUNT(DISTINCT filename_original) FROM picture"),
              "3");
}

}  // namespace
}  // namespace galerion
