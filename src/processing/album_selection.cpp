#include "processing/album_selection.h"

#include "core/host/messages.h"
#include "core/model.h"
#include "db/query.h"
#include "db/statements.h"
#include "db/unit_of_work.h"
#include "platform/errors.h"

namespace galerion {

bool BuildAlbumList(TAlbumList& albums, const std::vector<std::string>& selectedFolders,
                    TMessages& host) {
    albums.Clear();
    for (const std::string& folder : selectedFolders) albums.AddAlbum(folder);
    if (albums.Count() > 0) return true;
    host.ShowWarning(kNoAlbumSelected);
    return false;
}

bool CheckDatabase(const std::string& connection, TMessages& host) {
    return RunUnitOfWork(host, [&] {
        try {
            const std::unique_ptr<TQuery> query = TQuery::Create(connection);
            query->SetText(sqlProbeAlbums);
            query->Execute();
        } catch (const MissingComponentsError&) {
            throw;  // the unit of work ends the program
        } catch (const Error& e) {
            throw DataAccessError(kDatabaseCheckFailed + std::string(e.what()));
        }
    });
}

}  // namespace galerion
