#include "ui/advanced_dialog.h"

#include "db/table_script.h"
#include "ui/help_window.h"
#include "ui/qt_text.h"
#include "ui/radio_group.h"
#include "ui/screen_centre.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace galerion::ui {
namespace {

constexpr int kClientWidth = 555;
constexpr int kClientHeight = 357;

void SetChecked(QListWidgetItem* item, bool checked) {
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

bool IsChecked(const QListWidgetItem* item) { return item->checkState() == Qt::Checked; }

// A value outside the group's entries selects none; OK then keeps it as it was.
void KeepOrTake(int& setting, const QButtonGroup* group) {
    if (const int id = group->checkedId(); id >= 0) setting = id;
}

}  // namespace

TfrmAdvanced::TfrmAdvanced(TMessages& messages, std::function<void(int)> showHelp, QWidget* parent)
    : QDialog(parent), messages_(messages), showHelp_(std::move(showHelp)) {
    setWindowTitle(QStringLiteral("Advanced options"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    auto* gbxDB = new QGroupBox(QStringLiteral("Database "));
    edtConnectedString = new QLineEdit;
    bbnCreateTables = new QPushButton(QStringLiteral("Go!"));
    bbnCreateTables->setToolTip(QStringLiteral("Create necessary tables in database"));
    bbnCreateTables->setAutoDefault(false);
    auto* dbLayout = new QGridLayout(gbxDB);
    dbLayout->addWidget(new QLabel(QStringLiteral("Connection string:")), 0, 0);
    dbLayout->addWidget(edtConnectedString, 0, 1);
    dbLayout->addWidget(new QLabel(QStringLiteral("Create tables:")), 1, 0);
    dbLayout->addWidget(bbnCreateTables, 1, 1, Qt::AlignLeft);
    dbLayout->setColumnStretch(1, 1);

    cbxRecreateTemp = new QCheckBox(QStringLiteral("Recreate temporary files on each run"));
    cbxDeleteTemp = new QCheckBox(QStringLiteral("Don't delete temporary files on completion"));
    cbxRecreateThumb = new QCheckBox(QStringLiteral("Recreate thumbnails on each run"));
    cbxRecreateMedium = new QCheckBox(QStringLiteral("Recreate medium-size files on each run"));
    cbxRecreateLarge = new QCheckBox(QStringLiteral("Recreate large-size files on each run"));
    cbxScale =
        new QCheckBox(QStringLiteral("Display a warning when upscaling on the full-size screen."));
    cbxUpscale = new QCheckBox(
        QStringLiteral("Never upscale images (if target is larrger than souce do not resize)"));
    auto* checks = new QVBoxLayout;
    for (QCheckBox* box : {cbxRecreateTemp, cbxDeleteTemp, cbxRecreateThumb, cbxRecreateMedium,
                           cbxRecreateLarge, cbxScale, cbxUpscale})
        checks->addWidget(box);
    checks->addStretch();

    clbxExtension = new QListWidget;
    for (const char* extension : {".jpg", ".jpeg", ".heic, .heif"}) {
        auto* item = new QListWidgetItem(QString::fromLatin1(extension), clbxExtension);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Unchecked);
    }
    clbxExtension->setMaximumHeight(80);
    auto* extensions = new QVBoxLayout;
    extensions->addWidget(new QLabel(QStringLiteral("Processing files:")));
    extensions->addWidget(clbxExtension);
    extensions->addStretch();

    auto* upper = new QHBoxLayout;
    upper->addLayout(checks, 1);
    upper->addLayout(extensions);

    auto* gbxLogLevel = new QGroupBox(QStringLiteral("Log level"));
    cbxErrors = new QCheckBox(QStringLiteral("Errors"));
    cbxWarnings = new QCheckBox(QStringLiteral("Warnings"));
    cbxOthers = new QCheckBox(QStringLiteral("Others"));
    auto* logLayout = new QVBoxLayout(gbxLogLevel);
    for (QCheckBox* box : {cbxErrors, cbxWarnings, cbxOthers}) logLayout->addWidget(box);
    logLayout->addStretch();

    auto* groups = new QHBoxLayout;
    groups->addWidget(RadioGroup(
        "Output filenames", {"all lowercase", "all uppercase", "don't change case"}, gbxFilenames));
    groups->addWidget(RadioGroup(
        "If album exists...", {"ask", "add new one", "update existing", "cancel"}, gbxUpdateMode));
    groups->addWidget(RadioGroup(
        "Resize method", {"Nearest", "Linear", "Spline", "Lanczos", "Mitchell"}, gbxResizeMethod));
    groups->addWidget(gbxLogLevel);
    groups->addWidget(RadioGroup(
        "Colour profiles", {"ignore", "convert to sRGB", "keep in outputs"}, gbxColourProfiles));

    bbnHelp = new QPushButton(QStringLiteral("Help"));
    bbnHelp->setAutoDefault(false);
    bbnOK = new QPushButton(QStringLiteral("OK"));
    bbnOK->setDefault(true);
    bbnClose = new QPushButton(QStringLiteral("Cancel"));
    bbnClose->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(bbnHelp);
    buttons->addStretch();
    buttons->addWidget(bbnOK);
    buttons->addWidget(bbnClose);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(gbxDB);
    layout->addLayout(upper);
    layout->addLayout(groups);
    layout->addWidget(PhotoFilesGroup());
    layout->addStretch();
    layout->addLayout(buttons);

    connect(bbnCreateTables, &QPushButton::clicked, this, &TfrmAdvanced::CreateTables);
    connect(bbnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(bbnClose, &QPushButton::clicked, this, &QDialog::reject);
    auto help = [this] {
        if (showHelp_) showHelp_(kHelpAdvanced);
    };
    connect(bbnHelp, &QPushButton::clicked, this, help);
    auto* f1 = new QShortcut(QKeySequence::HelpContents, this);
    connect(f1, &QShortcut::activated, this, help);

    setFixedSize(std::max(kClientWidth, sizeHint().width()),
                 std::max(kClientHeight, sizeHint().height()));
    CentreOnScreen(*this);
}

// What a new picture takes from its file: each switch off gives the picture as the folder alone
// would.
QGroupBox* TfrmAdvanced::PhotoFilesGroup() {
    auto* box = new QGroupBox(QStringLiteral("From the photo files"));
    cbxExifOrientation = new QCheckBox(QStringLiteral("Turn new pictures as the camera says"));
    cbxExifDate = new QCheckBox(QStringLiteral("Date new pictures when they were taken"));
    cbxFileTexts = new QCheckBox(QStringLiteral("Titles from the file's title or caption"));
    cbxCarryCopyright =
        new QCheckBox(QStringLiteral("Output files carry the artist and copyright"));
    edtAltLanguage = new QLineEdit;
    edtAltLanguage->setMaxLength(35);
    edtAltLanguage->setPlaceholderText(QStringLiteral("none"));
    edtAltLanguage->setToolTip(
        QStringLiteral("Language code of the alternative titles taken from files, such as de"));
    auto* altLabel = new QLabel(QStringLiteral("Alternative titles in language:"));
    altLabel->setBuddy(edtAltLanguage);
    auto* keywords = new QHBoxLayout;
    keywords->addWidget(new QLabel(QStringLiteral("Keywords as categories:")));
    gbxKeywords = new QButtonGroup(box);
    int id = 0;
    for (const char* text : {"no", "existing categories", "also create new ones"}) {
        auto* button = new QRadioButton(QString::fromLatin1(text));
        gbxKeywords->addButton(button, id++);
        keywords->addWidget(button);
    }
    keywords->addStretch();
    auto* grid = new QGridLayout(box);
    grid->addWidget(cbxExifOrientation, 0, 0);
    grid->addWidget(cbxExifDate, 0, 1);
    grid->addWidget(cbxFileTexts, 1, 0);
    auto* alt = new QHBoxLayout;
    alt->addWidget(altLabel);
    alt->addWidget(edtAltLanguage);
    grid->addLayout(alt, 1, 1);
    grid->addLayout(keywords, 2, 0, 1, 2);
    grid->addWidget(cbxCarryCopyright, 3, 0, 1, 2);
    return box;
}

QGroupBox* TfrmAdvanced::RadioGroup(const char* title, std::initializer_list<const char*> items,
                                    QButtonGroup*& group) {
    auto* box = new QGroupBox(QString::fromLatin1(title));
    auto* layout = new QVBoxLayout(box);
    group = new QButtonGroup(box);
    int index = 0;
    for (const char* text : items) {
        auto* button = new QRadioButton(QString::fromLatin1(text));
        group->addButton(button, index++);
        layout->addWidget(button);
    }
    layout->addStretch();
    return box;
}

void TfrmAdvanced::Fill(const TSettings& s) {
    edtConnectedString->setText(ToQt(s.DB));
    edtConnectedString->setCursorPosition(0);
    cbxRecreateTemp->setChecked(s.RecreateTemp);
    cbxDeleteTemp->setChecked(s.DeleteTemp);
    cbxRecreateThumb->setChecked(s.RecreateThumb);
    cbxRecreateMedium->setChecked(s.RecreateMedium);
    cbxRecreateLarge->setChecked(s.RecreateLarge);
    cbxScale->setChecked(s.Scale);
    cbxUpscale->setChecked(s.Upscale);
    SetChecked(clbxExtension->item(0), s.ExtensionJpg);
    SetChecked(clbxExtension->item(1), s.ExtensionJpeg);
    SetChecked(clbxExtension->item(2), s.ExtensionHeif);
    SelectRadio(gbxColourProfiles, s.ColourProfiles);
    SelectRadio(gbxFilenames, s.OutputFilenames);
    SelectRadio(gbxUpdateMode, s.UpdateMode);
    SelectRadio(gbxResizeMethod, s.ResizeMode);
    cbxErrors->setChecked(s.LogLevelErrors);
    cbxWarnings->setChecked(s.LogLevelWarnings);
    cbxOthers->setChecked(s.LogLevelOthers);
    cbxExifOrientation->setChecked(s.UseExifOrientation);
    cbxExifDate->setChecked(s.UseExifDate);
    cbxFileTexts->setChecked(s.UseFileTexts);
    edtAltLanguage->setText(ToQt(s.AltLanguage));
    SelectRadio(gbxKeywords, s.KeywordCategories);
    cbxCarryCopyright->setChecked(s.CarryCopyright);
}

QString TfrmAdvanced::ConnectionString() const { return edtConnectedString->text(); }

void TfrmAdvanced::ReadChoices(TSettings& s) const {
    s.RecreateTemp = cbxRecreateTemp->isChecked();
    s.DeleteTemp = cbxDeleteTemp->isChecked();
    s.RecreateThumb = cbxRecreateThumb->isChecked();
    s.RecreateMedium = cbxRecreateMedium->isChecked();
    s.RecreateLarge = cbxRecreateLarge->isChecked();
    KeepOrTake(s.OutputFilenames, gbxFilenames);
    KeepOrTake(s.UpdateMode, gbxUpdateMode);
    s.Upscale = cbxUpscale->isChecked();
    s.Scale = cbxScale->isChecked();
    KeepOrTake(s.ResizeMode, gbxResizeMethod);
    s.ExtensionJpg = IsChecked(clbxExtension->item(0));
    s.ExtensionJpeg = IsChecked(clbxExtension->item(1));
    s.ExtensionHeif = IsChecked(clbxExtension->item(2));
    KeepOrTake(s.ColourProfiles, gbxColourProfiles);
    s.LogLevelErrors = cbxErrors->isChecked();
    s.LogLevelWarnings = cbxWarnings->isChecked();
    s.LogLevelOthers = cbxOthers->isChecked();
    s.UseExifOrientation = cbxExifOrientation->isChecked();
    s.UseExifDate = cbxExifDate->isChecked();
    s.UseFileTexts = cbxFileTexts->isChecked();
    s.AltLanguage = FromQt(edtAltLanguage->text().trimmed());
    KeepOrTake(s.KeywordCategories, gbxKeywords);
    s.CarryCopyright = cbxCarryCopyright->isChecked();
}

void TfrmAdvanced::CreateTables() {
    CreateTablesFromScript(FromQt(edtConnectedString->text()), messages_);
}

}  // namespace galerion::ui
