#pragma once
// The Albums page: the main directory, the candidate albums below it and their selection.
#include "core/settings.h"

#include <QWidget>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QFileDialog;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace galerion {
class TProcessingLog;
}

namespace galerion::ui {

// The folder chooser of "Browse...": "Select main directory", folders only.
void ConfigureMainDirectoryDialog(QFileDialog& dialog);

class TAlbumsPage : public QWidget {
    Q_OBJECT
public:
    // Asks for a folder; nothing when cancelled or when the choice has no path.
    using TFolderChooser = std::function<std::optional<QString>()>;

    // The search logs the folder links it does not follow into `log`.
    TAlbumsPage(TSettings& settings, TProcessingLog& log, QWidget* parent = nullptr);

    // edtMainDirectory from the record (after a settings load).
    void LoadFromSettings();
    // The album search, with the busy cursor.
    void SearchAlbums();
    // "Browse...": the folder chooser, then folder + "/*.*" and the search.
    void BrowseMainDirectory();
    void SetFolderChooser(TFolderChooser chooser) { chooseFolder_ = std::move(chooser); }

    // The selected folders in list order.
    std::vector<std::string> SelectedFolders() const;
    std::vector<std::string> ListedFolders() const;

    QLineEdit* edtMainDirectory;
    QPushButton* bbnSelectMainDirectory;
    QPushButton* bbnBrowseMainDirectory;
    QListWidget* lbxAlbums;
    QPushButton* bbnHelp_Albums;
    QPushButton* bbnAdvanced_Albums;
    QPushButton* bbnOptions_Albums;
    QPushButton* bbnPictures;

private:
    TSettings& settings_;
    TProcessingLog& log_;
    TFolderChooser chooseFolder_;
};

}  // namespace galerion::ui
