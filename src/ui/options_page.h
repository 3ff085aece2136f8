#pragma once
// The Options page: which picture sizes are written, their boxes, folders, prefixes and
// qualities, the database file and the two start-up switches. Its controls edit the settings
// record directly.
#include "core/settings.h"

#include <QWidget>

#include <functional>
#include <optional>

class QButtonGroup;
class QFileDialog;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace galerion::ui {

// The file chooser of the browse button: "Select data source" on `initialFolder`, SQLite files
// or any file, ".db" added to a name typed without extension.
void ConfigureDataSourceDialog(QFileDialog& dialog, const QString& initialFolder);

class TOptionsPage : public QWidget {
    Q_OBJECT
public:
    // Asks for a database file: title, initial folder; nothing when cancelled.
    using TFileChooser = std::function<std::optional<QString>(const QString& initialFolder)>;

    explicit TOptionsPage(TSettings& settings, QWidget* parent = nullptr);

    // Every control from the record (after a settings load).
    void LoadFromSettings();
    // The group enabling rule.
    void ApplyEnabling();
    // The data-source display: the path when the connection string names one, otherwise the
    // whole connection string, greyed and disabled.
    void RefreshDataSource();
    // The group layout rule for the page's current width.
    void LayoutGroups();
    void SetWelcomeText(const QString& text);
    void SetFileChooser(TFileChooser chooser) { chooseFile_ = std::move(chooser); }
    // The browse button: the chooser, then the chosen path into the data-source edit.
    void BrowseDataSource();

    QLabel* lblWelcome;
    QGroupBox* gbxThumb;
    QGroupBox* gbxMedium;
    QGroupBox* gbxLarge;
    QCheckBox* cbxThumbnail;
    QCheckBox* cbxMedium;
    QCheckBox* cbxLarge;
    QRadioButton* rbn80;
    QRadioButton* rbn150;
    QRadioButton* rbnThumbCustom;
    QRadioButton* rbn800;
    QRadioButton* rbn1024;
    QRadioButton* rbnMediumCustom;
    QLabel* lblThumbWidth;
    QLabel* lblThumbHeight;
    QLineEdit* edtThumbWidth;
    QLineEdit* edtThumbHeight;
    QLabel* lblFolderThumb;
    QLineEdit* edtThumbFolder;
    QLabel* lblPrefixThumb;
    QLineEdit* edtThumbPrefix;
    QLabel* lblThumbCompressionQuality;
    QSpinBox* edtTCompressionQuality;
    QLabel* lblMediumWidth;
    QLabel* lblMediumHeight;
    QLineEdit* edtMediumWidth;
    QLineEdit* edtMediumHeight;
    QLabel* lblFolderMedium;
    QLineEdit* edtMediumFolder;
    QLabel* lblPrefixMedium;
    QLineEdit* edtMediumPrefix;
    QLabel* lblMediumCompressionQuality;
    QSpinBox* edtMCompressionQuality;
    QLabel* lblLSize;
    QLabel* lblFolderLarge;
    QLineEdit* edtLargeFolder;
    QLabel* lblPrefixLarge;
    QLineEdit* edtLargePrefix;
    QLabel* lblLargeCompressionQuality;
    QSpinBox* edtLCompressionQuality;
    QLineEdit* edtDBFile;
    QPushButton* bbnDBFile;
    QCheckBox* cbxShow;
    QCheckBox* cbxSplash;
    QPushButton* bbnHelp_Options;
    QPushButton* bbnAdvanced_Options;
    QPushButton* bbnSelectAlbums_Options;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildThumbGroup();
    void BuildMediumGroup();
    void BuildLargeGroup();
    QWidget* BuildDataSourceRow();
    QWidget* BuildButtonRow();
    void ConnectControls();
    void ShowSizeEdits();
    void DataSourceEdited(const QString& text);

    TSettings& settings_;
    QWidget* groupArea_ = nullptr;
    QButtonGroup* thumbSizes_ = nullptr;
    QButtonGroup* mediumSizes_ = nullptr;
    TFileChooser chooseFile_;
    bool refreshingDataSource_ = false;
};

}  // namespace galerion::ui
