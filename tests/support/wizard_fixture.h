#pragma once
// The wizard's pieces with test defaults: a fresh folder, a real SQLite database made by the
// shipped script, all three outputs on, every log level shown, and a scripted host.
#include "core/model.h"
#include "core/processing_log.h"
#include "core/settings.h"
#include "processing/busy_state.h"
#include "processing/wizard_context.h"
#include "support/scripted_host.h"
#include "support/temp_folder.h"

#include <string>
#include <vector>

namespace galerion::test {

struct TWizardFixture {
    TTempFolder root;
    TScriptedHost host;
    TProcessingLog log;
    TSettings settings;
    TAlbumList albums;
    TBusyState busy{host};
    TWizardContext context{albums, settings, log, host, busy};
    std::string connection;

    TWizardFixture();
    // Adds the folders as albums and prepares every one of them (inside the busy state).
    void PrepareAll(const std::vector<std::string>& folders);
    // Texts of the log lines, in order.
    std::vector<std::string> LogTexts() const;
    bool Logged(const std::string& text) const;
};

}  // namespace galerion::test
