#include "ui/albums_page.h"

#include "processing/album_search.h"
#include "ui/qt_text.h"

#include <QApplication>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace galerion::ui {
namespace {

// The busy cursor for as long as it lives, also when the search throws.
class TBusyCursor {
public:
    TBusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TBusyCursor() { QApplication::restoreOverrideCursor(); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;
};

QPushButton* Button(const char* text, const char* hint) {
    auto* button = new QPushButton(QString::fromLatin1(text));
    if (hint) button->setToolTip(QString::fromLatin1(hint));
    button->setAutoDefault(false);
    return button;
}

}  // namespace

void ConfigureMainDirectoryDialog(QFileDialog& dialog) {
    dialog.setWindowTitle(QStringLiteral("Select main directory"));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
}

TAlbumsPage::TAlbumsPage(TSettings& settings, TProcessingLog& log, QWidget* parent)
    : QWidget(parent), settings_(settings), log_(log) {
    auto* group = new QGroupBox(QStringLiteral(" Main directory "));
    edtMainDirectory = new QLineEdit;
    bbnSelectMainDirectory = Button("Select", "Get all subdirectories as albums");
    bbnBrowseMainDirectory = Button("Browse...", "Select main directory");
    auto* groupLayout = new QHBoxLayout(group);
    groupLayout->addWidget(edtMainDirectory, 1);
    groupLayout->addWidget(bbnSelectMainDirectory);
    groupLayout->addWidget(bbnBrowseMainDirectory);

    auto* label = new QLabel(
        QStringLiteral("Directories - select folders to process. Application will process files in "
                       "specified folder(s) only:"));
    label->setWordWrap(true);
    lbxAlbums = new QListWidget;
    lbxAlbums->setSelectionMode(QAbstractItemView::ExtendedSelection);

    bbnHelp_Albums = Button("Help", nullptr);
    bbnAdvanced_Albums = Button("Advanced options...", "Open advanced options form");
    bbnOptions_Albums = Button("Options", "Back to the options page");
    bbnPictures = Button("Pictures >", "Create thumbnails and go to the photos page");
    bbnPictures->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(bbnHelp_Albums);
    buttons->addStretch();
    buttons->addWidget(bbnAdvanced_Albums);
    buttons->addWidget(bbnOptions_Albums);
    buttons->addWidget(bbnPictures);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(label);
    layout->addWidget(lbxAlbums, 1);
    layout->addLayout(buttons);

    connect(edtMainDirectory, &QLineEdit::textChanged, this,
            [this](const QString& text) { settings_.MainDir = FromQt(text); });
    connect(bbnSelectMainDirectory, &QPushButton::clicked, this, &TAlbumsPage::SearchAlbums);
    connect(bbnBrowseMainDirectory, &QPushButton::clicked, this, &TAlbumsPage::BrowseMainDirectory);
    LoadFromSettings();
}

void TAlbumsPage::LoadFromSettings() {
    if (edtMainDirectory->text() != ToQt(settings_.MainDir))
        edtMainDirectory->setText(ToQt(settings_.MainDir));
}

void TAlbumsPage::SearchAlbums() {
    const TBusyCursor cursor;
    lbxAlbums->clear();
    const std::vector<std::string> found =
        galerion::SearchAlbums(settings_.MainDir, ExcludedFolderNames(settings_), &log_);
    for (const std::string& folder : found) lbxAlbums->addItem(ToQt(folder));
    if (lbxAlbums->count() == 1) {
        lbxAlbums->setCurrentRow(0);
        lbxAlbums->item(0)->setSelected(true);
    }
}

void TAlbumsPage::BrowseMainDirectory() {
    if (!chooseFolder_) return;
    const std::optional<QString> folder = chooseFolder_();
    if (!folder || folder->isEmpty()) return;
    QString mask = *folder;
    if (!mask.endsWith(QLatin1Char('/'))) mask += QLatin1Char('/');
    edtMainDirectory->setText(mask + QStringLiteral("*.*"));
    SearchAlbums();
}

std::vector<std::string> TAlbumsPage::SelectedFolders() const {
    std::vector<std::string> folders;
    for (int row = 0; row < lbxAlbums->count(); ++row)
        if (lbxAlbums->item(row)->isSelected())
            folders.push_back(FromQt(lbxAlbums->item(row)->text()));
    return folders;
}

std::vector<std::string> TAlbumsPage::ListedFolders() const {
    std::vector<std::string> folders;
    for (int row = 0; row < lbxAlbums->count(); ++row)
        folders.push_back(FromQt(lbxAlbums->item(row)->text()));
    return folders;
}

}  // namespace galerion::ui
