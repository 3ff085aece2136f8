#include "processing/existing_album.h"

#include "core/host/existing_album_question.h"
#include "core/log_messages.h"
#include "core/processing_log.h"
#include "core/settings.h"
#include "db/query.h"
#include "db/statements.h"

namespace galerion {
namespace {

TAlbumDecision DecisionFromMode(int updateMode) {
    switch (updateMode) {
        case 1: return TAlbumDecision::Insert;
        case 2: return TAlbumDecision::Update;
        case 3: return TAlbumDecision::Cancel;
        default: return TAlbumDecision::None;
    }
}

int ModeFromAnswer(TExistingAlbumAnswer answer) {
    switch (answer) {
        case TExistingAlbumAnswer::Insert: return 1;
        case TExistingAlbumAnswer::Update: return 2;
        case TExistingAlbumAnswer::Cancel: return 3;
    }
    return 3;
}

TAlbumDecision Ask(const std::string& folder, TSettings& settings,
                   TExistingAlbumQuestion& question) {
    const TExistingAlbumReply reply = question.AskExistingAlbum(AlbumFoundMessage(folder));
    if (reply.always) settings.UpdateMode = ModeFromAnswer(reply.answer);
    return static_cast<TAlbumDecision>(static_cast<int>(reply.answer));
}

void LogStored(const std::string& folder, int updateMode, TProcessingLog& log) {
    const std::string quoted = SqlQuote(folder).Text();
    switch (updateMode) {
        case 1: log.AddLogLine(msg::ExistingAlbumInsert(quoted), msg::kLevelWarning); break;
        case 2: log.AddLogLine(msg::ExistingAlbumUpdate(quoted), msg::kLevelWarning); break;
        case 3: log.AddLogLine(msg::ExistingAlbumCancel(quoted), msg::kLevelWarning); break;
        default: break;
    }
}

}  // namespace

std::string AlbumFoundMessage(const std::string& folder) {
    return "Album with \"" + folder + "\" original directory name was found in databse.";
}

TExistingAlbumDecision DecideExistingAlbum(const std::string& folder, TQuery& query,
                                           TSettings& settings, TExistingAlbumQuestion& question,
                                           TProcessingLog& log) {
    TExistingAlbumDecision result;
    query.SetText(FormatSql(sqlCountAlbumByPath, {SqlQuote(folder)}));
    query.Open();
    result.stored = query.FirstFieldAsInteger() != 0;
    query.Close();
    if (!result.stored || settings.UpdateMode != 0)
        result.decision = DecisionFromMode(settings.UpdateMode);
    else
        result.decision = Ask(folder, settings, question);
    if (result.stored) {
        LogStored(folder, settings.UpdateMode, log);
        if (result.decision == TAlbumDecision::Cancel)
            log.AddLogLine(msg::AlbumSkippedByCancel(folder), msg::kLevelProgress);
    }
    return result;
}

}  // namespace galerion
