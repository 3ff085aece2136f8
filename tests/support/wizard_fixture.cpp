#include "support/wizard_fixture.h"

#include "processing/album_preparation.h"
#include "support/test_database.h"

#include <algorithm>

namespace galerion::test {

TWizardFixture::TWizardFixture() {
    settings.ProcessLarge = true;
    settings.LogLevelOthers = true;
    log.ApplyLogSwitches(true, true, true);
    connection = CreateDatabase(root / "site.db");
    settings.DB = connection;
}

void TWizardFixture::PrepareAll(const std::vector<std::string>& folders) {
    albums.Clear();
    for (const std::string& f : folders) albums.AddAlbum(f);
    TBusyScope scope(busy);
    for (int a = 0; a < albums.Count(); ++a) PrepareAlbum(context, a);
}

std::vector<std::string> TWizardFixture::LogTexts() const {
    std::vector<std::string> texts;
    for (const TLogLine& line : log.Lines()) texts.push_back(line.text);
    return texts;
}

bool TWizardFixture::Logged(const std::string& text) const {
    const auto texts = LogTexts();
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

}  // namespace galerion::test
