#include "processing/album_selection.h"

#include "core/model.h"
#include "core/user_host.h"
#include "db/query.h"
#include "db/statements.h"
#include "db/unit_of_work.h"
#include "platform/errors.h"

namespace galerion {

bool BuildAlbumList(TAlbumList& albums, const std::vector<std::string>& selectedFolders,
                    TUserHost& host) {
    albums.Clear();
    for (const std::string& folder : selectedFolders) albums.AddAlbum(folder);
    if (albums.Count() > 0) return true;
    host.ShowWarning(kNoAlbumSelected);
    return false;
}

bool CheckDatabase(const std::string& connection, TUserHost& host) {
    std::unique_ptr<TQuery> query;
    try {
        query = TQuery::Create(connection);
    } catch (const MissingComponentsError& e) {
        host.ShowError(MissingComponentsMessage(e.what()));
        host.ExitProgram(77);
    } catch (const Error& e) {
        host.ShowError(kDatabaseCheckFailed + std::string(e.what()));
        return false;
    }
    try {
        query->SetText(sqlProbeAlbums);
        query->Execute();
    } catch (const Error& e) {
        host.ShowError(kDatabaseCheckFailed + std::string(e.what()));
        return false;
    }
    return true;
}

}  // namespace galerion
