#pragma once
// The existing-album question: an album's folder path is already stored in the database.
#include <string>

namespace galerion {

// Modal results of the question.
enum class TExistingAlbumAnswer { Cancel = 2, Update = 4, Insert = 5 };

struct TExistingAlbumReply {
    TExistingAlbumAnswer answer = TExistingAlbumAnswer::Cancel;
    bool always = false;  // "Do not ask this question again. Always use selected option."
};

class TExistingAlbumQuestion {
public:
    virtual ~TExistingAlbumQuestion() = default;

    // Asked with the "Album with ... was found" text.
    virtual TExistingAlbumReply AskExistingAlbum(const std::string& foundMessage) = 0;
};

}  // namespace galerion
