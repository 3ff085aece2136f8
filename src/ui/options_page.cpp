#include "ui/options_page.h"

#include "core/settings_persistence.h"
#include "db/data_source.h"
#include "ui/qt_text.h"
#include "ui/radio_group.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

namespace galerion::ui {
namespace {

constexpr int kGroupLeft = 4;
constexpr int kGroupSpacing = 8;
constexpr int kGroupWidthAllowance = 24;
constexpr int kTitleLeft = 8;

QGroupBox* FramedGroup(QCheckBox* title, QWidget* parent) {
    auto* group = new QGroupBox(parent);
    title->setParent(group);
    title->setAutoFillBackground(true);
    title->move(kTitleLeft, 0);
    title->adjustSize();
    return group;
}

QSpinBox* QualityEdit() {
    auto* spin = new QSpinBox;
    spin->setRange(0, 100);
    spin->setValue(90);
    return spin;
}

// Selects the button of `index` in a group; an index without a button selects none.
void SelectSize(QButtonGroup* group, int index) {
    const QSignalBlocker block(group);
    SelectRadio(group, index);
}

void SetText(QLineEdit* edit, const std::string& text) {
    if (edit->text() != ToQt(text)) edit->setText(ToQt(text));
}

void Enable(std::initializer_list<QWidget*> widgets, bool enabled) {
    for (QWidget* w : widgets) w->setEnabled(enabled);
}

// Label and control in the next row of a group's grid.
void AddRow(QGridLayout* grid, QLabel* label, QWidget* control) {
    const int row = grid->rowCount();
    grid->addWidget(label, row, 0);
    grid->addWidget(control, row, 1);
}

// A text edit under its label across the group's width: the groups are narrow at the window's
// minimum size, and folder names and prefixes need the room.
void AddWideRow(QGridLayout* grid, QLabel* label, QWidget* control) {
    const int row = grid->rowCount();
    grid->addWidget(label, row, 0, 1, 2);
    grid->addWidget(control, row + 1, 0, 1, 2);
}

}  // namespace

void ConfigureDataSourceDialog(QFileDialog& dialog, const QString& initialFolder) {
    dialog.setWindowTitle(QStringLiteral("Select data source"));
    dialog.setDirectory(initialFolder);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // A new file may be named here too: "Go!" in the advanced options then creates its tables.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({QStringLiteral("SQLite databases (*.db *.sqlite *.sqlite3)"),
                           QStringLiteral("Any files (*)")});
    dialog.setDefaultSuffix(QStringLiteral("db"));
    dialog.selectFile(QStringLiteral("*.db"));
}

TOptionsPage::TOptionsPage(TSettings& settings, QWidget* parent)
    : QWidget(parent), settings_(settings) {
    lblWelcome = new QLabel;
    QFont bold = lblWelcome->font();
    bold.setBold(true);
    lblWelcome->setFont(bold);

    groupArea_ = new QWidget;
    cbxThumbnail = new QCheckBox(QStringLiteral("Thumbnail images"));
    cbxMedium = new QCheckBox(QStringLiteral("Medium images"));
    cbxLarge = new QCheckBox(QStringLiteral("Large images"));
    gbxThumb = FramedGroup(cbxThumbnail, groupArea_);
    gbxMedium = FramedGroup(cbxMedium, groupArea_);
    gbxLarge = FramedGroup(cbxLarge, groupArea_);
    BuildThumbGroup();
    BuildMediumGroup();
    BuildLargeGroup();
    const int groupHeight = std::max({gbxThumb->sizeHint().height(), gbxMedium->sizeHint().height(),
                                      gbxLarge->sizeHint().height()});
    groupArea_->setFixedHeight(groupHeight);
    for (QGroupBox* group : {gbxThumb, gbxMedium, gbxLarge}) group->resize(160, groupHeight);

    cbxShow = new QCheckBox(QStringLiteral("Do not show this screen next time program stars"));
    cbxSplash = new QCheckBox(QStringLiteral("Do not show splash screen next time program stars"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblWelcome);
    layout->addWidget(groupArea_);
    layout->addWidget(BuildDataSourceRow());
    layout->addWidget(cbxShow);
    layout->addWidget(cbxSplash);
    layout->addStretch();
    layout->addWidget(BuildButtonRow());
    // The groups are placed by hand from the page's left edge.
    layout->setContentsMargins(0, 8, 0, 0);
    for (QWidget* w : {static_cast<QWidget*>(lblWelcome), static_cast<QWidget*>(cbxShow),
                       static_cast<QWidget*>(cbxSplash)})
        w->setContentsMargins(8, 0, 8, 0);

    ConnectControls();
    LoadFromSettings();
}

void TOptionsPage::BuildThumbGroup() {
    rbn80 = new QRadioButton(QStringLiteral("150x100"));
    rbn150 = new QRadioButton(QStringLiteral("200x150"));
    rbnThumbCustom = new QRadioButton(QStringLiteral("Custom:"));
    thumbSizes_ = new QButtonGroup(this);
    thumbSizes_->addButton(rbn80, kSizePreset1);
    thumbSizes_->addButton(rbn150, kSizePreset2);
    thumbSizes_->addButton(rbnThumbCustom, kSizeCustom);
    lblThumbWidth = new QLabel(QStringLiteral("Width:"));
    lblThumbHeight = new QLabel(QStringLiteral("Height:"));
    edtThumbWidth = new QLineEdit;
    edtThumbHeight = new QLineEdit;
    lblFolderThumb = new QLabel(QStringLiteral("Folder:"));
    edtThumbFolder = new QLineEdit;
    lblPrefixThumb = new QLabel(QStringLiteral("Filename prefix:"));
    edtThumbPrefix = new QLineEdit;
    lblThumbCompressionQuality = new QLabel(QStringLiteral("Quality (%):"));
    edtTCompressionQuality = QualityEdit();

    auto* grid = new QGridLayout(gbxThumb);
    grid->setContentsMargins(6, cbxThumbnail->height() + 2, 6, 6);
    grid->setVerticalSpacing(3);
    grid->addWidget(rbn80, 0, 0, 1, 2);
    grid->addWidget(rbn150, 1, 0, 1, 2);
    grid->addWidget(rbnThumbCustom, 2, 0, 1, 2);
    AddRow(grid, lblThumbWidth, edtThumbWidth);
    AddRow(grid, lblThumbHeight, edtThumbHeight);
    AddWideRow(grid, lblFolderThumb, edtThumbFolder);
    AddWideRow(grid, lblPrefixThumb, edtThumbPrefix);
    AddRow(grid, lblThumbCompressionQuality, edtTCompressionQuality);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(grid->rowCount(), 1);
}

void TOptionsPage::BuildMediumGroup() {
    rbn800 = new QRadioButton(QStringLiteral("800x768"));
    rbn1024 = new QRadioButton(QStringLiteral("1024x1024"));
    rbnMediumCustom = new QRadioButton(QStringLiteral("Custom:"));
    mediumSizes_ = new QButtonGroup(this);
    mediumSizes_->addButton(rbn800, kSizePreset1);
    mediumSizes_->addButton(rbn1024, kSizePreset2);
    mediumSizes_->addButton(rbnMediumCustom, kSizeCustom);
    lblMediumWidth = new QLabel(QStringLiteral("Width:"));
    lblMediumHeight = new QLabel(QStringLiteral("Height:"));
    edtMediumWidth = new QLineEdit;
    edtMediumHeight = new QLineEdit;
    lblFolderMedium = new QLabel(QStringLiteral("Folder:"));
    edtMediumFolder = new QLineEdit;
    lblPrefixMedium = new QLabel(QStringLiteral("Filename prefix:"));
    edtMediumPrefix = new QLineEdit;
    lblMediumCompressionQuality = new QLabel(QStringLiteral("Quality (%):"));
    edtMCompressionQuality = QualityEdit();

    auto* grid = new QGridLayout(gbxMedium);
    grid->setContentsMargins(6, cbxMedium->height() + 2, 6, 6);
    grid->setVerticalSpacing(3);
    grid->addWidget(rbn800, 0, 0, 1, 2);
    grid->addWidget(rbn1024, 1, 0, 1, 2);
    grid->addWidget(rbnMediumCustom, 2, 0, 1, 2);
    AddRow(grid, lblMediumWidth, edtMediumWidth);
    AddRow(grid, lblMediumHeight, edtMediumHeight);
    AddWideRow(grid, lblFolderMedium, edtMediumFolder);
    AddWideRow(grid, lblPrefixMedium, edtMediumPrefix);
    AddRow(grid, lblMediumCompressionQuality, edtMCompressionQuality);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(grid->rowCount(), 1);
}

void TOptionsPage::BuildLargeGroup() {
    lblLSize = new QLabel(QStringLiteral("Image will be the same size as the original."));
    lblLSize->setWordWrap(true);
    lblFolderLarge = new QLabel(QStringLiteral("Folder:"));
    edtLargeFolder = new QLineEdit;
    lblPrefixLarge = new QLabel(QStringLiteral("Filename prefix:"));
    edtLargePrefix = new QLineEdit;
    lblLargeCompressionQuality = new QLabel(QStringLiteral("Quality (%):"));
    edtLCompressionQuality = QualityEdit();

    auto* grid = new QGridLayout(gbxLarge);
    grid->setContentsMargins(6, cbxLarge->height() + 2, 6, 6);
    grid->setVerticalSpacing(3);
    grid->addWidget(lblLSize, 0, 0, 1, 2);
    AddWideRow(grid, lblFolderLarge, edtLargeFolder);
    AddWideRow(grid, lblPrefixLarge, edtLargePrefix);
    AddRow(grid, lblLargeCompressionQuality, edtLCompressionQuality);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(grid->rowCount(), 1);
}

QWidget* TOptionsPage::BuildDataSourceRow() {
    auto* row = new QWidget;
    edtDBFile = new QLineEdit;
    bbnDBFile = new QPushButton(QStringLiteral("..."));
    bbnDBFile->setToolTip(QStringLiteral("Select data source"));
    bbnDBFile->setFixedWidth(28);
    bbnDBFile->setAutoDefault(false);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(8, 0, 8, 0);
    layout->addWidget(new QLabel(QStringLiteral("Data source:")));
    layout->addWidget(edtDBFile, 1);
    layout->addWidget(bbnDBFile);
    return row;
}

QWidget* TOptionsPage::BuildButtonRow() {
    auto* row = new QWidget;
    bbnHelp_Options = new QPushButton(QStringLiteral("Help"));
    bbnAdvanced_Options = new QPushButton(QStringLiteral("Advanced options..."));
    bbnAdvanced_Options->setToolTip(QStringLiteral("Open advanced options form"));
    bbnSelectAlbums_Options = new QPushButton(QStringLiteral("Select albums >"));
    bbnSelectAlbums_Options->setToolTip(QStringLiteral("Go to next step"));
    bbnSelectAlbums_Options->setDefault(true);
    auto* layout = new QHBoxLayout(row);
    layout->addWidget(bbnHelp_Options);
    layout->addStretch();
    layout->addWidget(bbnAdvanced_Options);
    layout->addWidget(bbnSelectAlbums_Options);
    return row;
}

void TOptionsPage::ConnectControls() {
    TSettings& s = settings_;
    auto bindCheck = [this](QCheckBox* box, bool& field, bool enabling) {
        connect(box, &QCheckBox::toggled, this, [this, &field, enabling](bool on) {
            field = on;
            if (enabling) ApplyEnabling();
        });
    };
    bindCheck(cbxThumbnail, s.ProcessThumb, true);
    bindCheck(cbxMedium, s.ProcessMedium, true);
    bindCheck(cbxLarge, s.ProcessLarge, true);
    bindCheck(cbxShow, s.ShowWelcome, false);
    bindCheck(cbxSplash, s.ShowSplash, false);

    auto bindText = [this](QLineEdit* edit, std::string& field) {
        connect(edit, &QLineEdit::textChanged, this,
                [&field](const QString& text) { field = FromQt(text); });
    };
    bindText(edtThumbWidth, s.ThumbWidth);
    bindText(edtThumbHeight, s.ThumbHeight);
    bindText(edtThumbFolder, s.ThumbFolder);
    bindText(edtThumbPrefix, s.ThumbPrefix);
    bindText(edtMediumWidth, s.MediumWidth);
    bindText(edtMediumHeight, s.MediumHeight);
    bindText(edtMediumFolder, s.MediumFolder);
    bindText(edtMediumPrefix, s.MediumPrefix);
    bindText(edtLargeFolder, s.LargeFolder);
    bindText(edtLargePrefix, s.LargePrefix);

    auto bindQuality = [this](QSpinBox* spin, double& field) {
        connect(spin, &QSpinBox::valueChanged, this, [&field](int value) { field = value; });
    };
    bindQuality(edtTCompressionQuality, s.JpegCompressionThumb);
    bindQuality(edtMCompressionQuality, s.JpegCompressionMedium);
    bindQuality(edtLCompressionQuality, s.JpegCompressionLarge);

    connect(thumbSizes_, &QButtonGroup::idClicked, this, [this](int id) {
        SelectThumbSize(settings_, id);
        ShowSizeEdits();
        ApplyEnabling();
    });
    connect(mediumSizes_, &QButtonGroup::idClicked, this, [this](int id) {
        SelectMediumSize(settings_, id);
        ShowSizeEdits();
        ApplyEnabling();
    });
    connect(edtDBFile, &QLineEdit::textChanged, this, &TOptionsPage::DataSourceEdited);
    connect(bbnDBFile, &QPushButton::clicked, this, &TOptionsPage::BrowseDataSource);
}

void TOptionsPage::LoadFromSettings() {
    const TSettings& s = settings_;
    {
        const QSignalBlocker b1(cbxThumbnail), b2(cbxMedium), b3(cbxLarge), b4(cbxShow),
            b5(cbxSplash);
        cbxThumbnail->setChecked(s.ProcessThumb);
        cbxMedium->setChecked(s.ProcessMedium);
        cbxLarge->setChecked(s.ProcessLarge);
        cbxShow->setChecked(s.ShowWelcome);
        cbxSplash->setChecked(s.ShowSplash);
    }
    {
        const QSignalBlocker b1(edtTCompressionQuality), b2(edtMCompressionQuality),
            b3(edtLCompressionQuality);
        edtTCompressionQuality->setValue(static_cast<int>(s.JpegCompressionThumb));
        edtMCompressionQuality->setValue(static_cast<int>(s.JpegCompressionMedium));
        edtLCompressionQuality->setValue(static_cast<int>(s.JpegCompressionLarge));
    }
    SetText(edtThumbFolder, s.ThumbFolder);
    SetText(edtThumbPrefix, s.ThumbPrefix);
    SetText(edtMediumFolder, s.MediumFolder);
    SetText(edtMediumPrefix, s.MediumPrefix);
    SetText(edtLargeFolder, s.LargeFolder);
    SetText(edtLargePrefix, s.LargePrefix);
    SelectSize(thumbSizes_, s.ThumbSize);
    SelectSize(mediumSizes_, s.MediumSize);
    ShowSizeEdits();
    ApplyEnabling();
    RefreshDataSource();
}

void TOptionsPage::ShowSizeEdits() {
    SetText(edtThumbWidth, settings_.ThumbWidth);
    SetText(edtThumbHeight, settings_.ThumbHeight);
    SetText(edtMediumWidth, settings_.MediumWidth);
    SetText(edtMediumHeight, settings_.MediumHeight);
}

void TOptionsPage::ApplyEnabling() {
    const bool thumb = cbxThumbnail->isChecked();
    Enable({rbn80, rbn150, rbnThumbCustom, lblThumbWidth, lblThumbHeight, lblFolderThumb,
            edtThumbFolder, lblPrefixThumb, edtThumbPrefix, lblThumbCompressionQuality,
            edtTCompressionQuality},
           thumb);
    Enable({edtThumbWidth, edtThumbHeight}, thumb && rbnThumbCustom->isChecked());

    const bool medium = cbxMedium->isChecked();
    Enable({rbn800, rbn1024, rbnMediumCustom, lblMediumWidth, lblMediumHeight, lblFolderMedium,
            edtMediumFolder, lblPrefixMedium, edtMediumPrefix, lblMediumCompressionQuality,
            edtMCompressionQuality},
           medium);
    Enable({edtMediumWidth, edtMediumHeight}, medium && rbnMediumCustom->isChecked());

    Enable({lblLSize, lblFolderLarge, edtLargeFolder, lblPrefixLarge, edtLargePrefix,
            lblLargeCompressionQuality, edtLCompressionQuality},
           cbxLarge->isChecked());
}

void TOptionsPage::RefreshDataSource() {
    const std::string path = ExtractDataSource(settings_.DB);
    QPalette pal = edtDBFile->palette();
    if (!path.empty()) {
        // Shown like a typed path: the change rule puts it back into the connection string.
        edtDBFile->setText(ToQt(path));
        pal.setColor(QPalette::Base, palette().color(QPalette::Base));
    } else {
        // The whole connection string is only shown here, never written into itself.
        refreshingDataSource_ = true;
        edtDBFile->setText(ToQt(settings_.DB));
        refreshingDataSource_ = false;
        pal.setColor(QPalette::Base, palette().color(QPalette::Button));
    }
    edtDBFile->setPalette(pal);
    edtDBFile->setCursorPosition(0);
    edtDBFile->setEnabled(!path.empty());
    bbnDBFile->setEnabled(!path.empty());
}

void TOptionsPage::DataSourceEdited(const QString& text) {
    if (refreshingDataSource_) return;
    settings_.DB = ReplaceDataSource(settings_.DB, FromQt(text));
}

void TOptionsPage::BrowseDataSource() {
    if (!chooseFile_) return;
    const QString folder = QFileInfo(edtDBFile->text()).path();
    if (const std::optional<QString> chosen = chooseFile_(folder)) edtDBFile->setText(*chosen);
}

void TOptionsPage::SetWelcomeText(const QString& text) { lblWelcome->setText(text); }

void TOptionsPage::LayoutGroups() {
    const int width = (this->width() - kGroupWidthAllowance) / 3;
    const int height = groupArea_->height();
    gbxThumb->setGeometry(kGroupLeft, 0, width, height);
    gbxMedium->setGeometry(gbxThumb->x() + gbxThumb->width() + kGroupSpacing, 0, width, height);
    gbxLarge->setGeometry(gbxMedium->x() + gbxMedium->width() + kGroupSpacing, 0, width, height);
}

void TOptionsPage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayoutGroups();
}

}  // namespace galerion::ui
