#include "support/scripted_host.h"

#include <algorithm>

namespace galerion::test {

bool TScriptedHost::Confirm(const std::string& t) {
    confirms.push_back(t);
    if (confirmAnswers.empty()) return true;
    const bool answer = confirmAnswers.front();
    confirmAnswers.pop_front();
    return answer;
}

TExistingAlbumReply TScriptedHost::AskExistingAlbum(const std::string& found) {
    questions.push_back(found);
    if (albumAnswers.empty()) return {};
    const TExistingAlbumReply reply = albumAnswers.front();
    albumAnswers.pop_front();
    return reply;
}

void TScriptedHost::SetProgressPosition(int p) {
    progressPosition = p;
    maxPositionSeen = std::max(maxPositionSeen, p);
}

void TScriptedHost::ExitProgram(int code) { throw TProgramExit{code}; }

}  // namespace galerion::test
