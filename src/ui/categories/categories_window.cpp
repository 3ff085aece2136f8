#include "ui/categories/categories_window.h"

#include "core/model.h"
#include "core/settings.h"
#include "core/settings_persistence.h"
#include "db/categories.h"
#include "db/unit_of_work.h"
#include "platform/settings_store.h"
#include "ui/categories/category_dialog.h"
#include "ui/fullsize/window_placement.h"

#include <QAbstractButton>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPainter>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

#include <filesystem>

namespace galerion::ui {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

Qt::CheckState ToCheckState(TCheckMark mark) {
    switch (mark) {
        case TCheckMark::Ticked: return Qt::Checked;
        case TCheckMark::Mixed: return Qt::PartiallyChecked;
        case TCheckMark::Unticked: break;
    }
    return Qt::Unchecked;
}

bool IsEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

enum class TGlyph { Add, Edit, Delete };

// Drawn by the program when the desktop theme has no icon of that name.
QIcon DrawnGlyph(TGlyph glyph) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (glyph) {
        case TGlyph::Add:
            p.setPen(QPen(QColor(0, 128, 0), 3));
            p.drawLine(8, 2, 8, 14);
            p.drawLine(2, 8, 14, 8);
            break;
        case TGlyph::Edit:
            p.setPen(QPen(QColor(40, 40, 160), 3));
            p.drawLine(3, 13, 13, 3);
            p.setPen(QPen(Qt::black, 1));
            p.drawLine(2, 14, 5, 14);
            break;
        case TGlyph::Delete:
            p.setPen(QPen(QColor(192, 0, 0), 3));
            p.drawLine(3, 3, 13, 13);
            p.drawLine(13, 3, 3, 13);
            break;
    }
    return QIcon(pixmap);
}

QIcon Glyph(const char* themeName, TGlyph fallback) {
    return QIcon::fromTheme(QString::fromUtf8(themeName), DrawnGlyph(fallback));
}

bool RunCategoryDialog(TMessages& messages, QWidget* parent, const QString& caption,
                       TCategoryItem& item) {
    TfrmAddEditCategory dialog(messages, &item, parent);
    dialog.setWindowTitle(caption);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace

TfrmCategories::TfrmCategories(const TSettings& settings, TSettingsStore& store,
                               std::string keyPath, TMessages& messages, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      settings_(settings),
      store_(store),
      keyPath_(std::move(keyPath)),
      messages_(messages),
      editCategory_([this](QWidget* owner, const QString& caption, TCategoryItem& item) {
          return RunCategoryDialog(messages_, owner, caption, item);
      }) {
    setObjectName(QStringLiteral("frmCategories"));
    setWindowTitle(QStringLiteral("Categories"));
    setModal(true);
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    BuildControls();
    resize(kMinimumWidth, kMinimumHeight);
    // The window sees key strokes before its controls.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
}

TfrmCategories::~TfrmCategories() = default;

QToolButton* TfrmCategories::MakeButton(const char* name, const char* hint) {
    auto* button = new QToolButton(pnlMain_);
    button->setObjectName(QString::fromUtf8(name));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolTip(QString::fromUtf8(hint));
    return button;
}

void TfrmCategories::BuildControls() {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    pnlMain_ = new QFrame(this);
    pnlMain_->setObjectName(QStringLiteral("pnlMain"));
    pnlMain_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    outer->addWidget(pnlMain_);

    cbxCategories_ = new QListWidget(pnlMain_);
    cbxCategories_->setObjectName(QStringLiteral("cbxCategories"));
    cbxCategories_->setFrameShape(QFrame::NoFrame);
    sbnAdd_ = MakeButton("sbnAdd", "Add new category");
    sbnAdd_->setIcon(Glyph("list-add", TGlyph::Add));
    sbnEdit_ = MakeButton("sbnEdit", "Edit selected category");
    sbnEdit_->setIcon(Glyph("document-edit", TGlyph::Edit));
    sbnDelete_ = MakeButton("sbnDelete", "Delete selected category");
    sbnDelete_->setIcon(Glyph("list-remove", TGlyph::Delete));
    for (QToolButton* b : {sbnAdd_, sbnEdit_, sbnDelete_}) b->setFixedSize(23, 22);
    sbnOk_ = MakeButton("sbnOk", "Add image to selected categories");
    sbnOk_->setText(QStringLiteral("OK"));
    sbnCancel_ = MakeButton("sbnCancel", "Cancel adding image to categories");
    sbnCancel_->setText(QStringLiteral("Cancel"));
    for (QToolButton* b : {sbnOk_, sbnCancel_}) b->setFixedSize(50, 25);

    auto* grid = new QGridLayout(pnlMain_);
    grid->setContentsMargins(2, 2, 2, 2);
    grid->setSpacing(1);
    grid->addWidget(cbxCategories_, 0, 0, 4, 1);
    grid->addWidget(sbnAdd_, 0, 1);
    grid->addWidget(sbnEdit_, 1, 1);
    grid->addWidget(sbnDelete_, 2, 1);
    grid->setRowStretch(3, 1);
    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(2);
    bottom->addWidget(sbnOk_);
    bottom->addWidget(sbnCancel_);
    bottom->addStretch(1);
    grid->addLayout(bottom, 4, 0, 1, 2);

    connect(sbnAdd_, &QToolButton::clicked, this, &TfrmCategories::AddCategory);
    connect(sbnEdit_, &QToolButton::clicked, this, &TfrmCategories::EditCategory);
    connect(sbnDelete_, &QToolButton::clicked, this, &TfrmCategories::DeleteCategory);
    connect(sbnOk_, &QToolButton::clicked, this, &QDialog::accept);
    connect(sbnCancel_, &QToolButton::clicked, this, &QDialog::reject);
    connect(cbxCategories_, &QListWidget::itemChanged, this,
            [this](QListWidgetItem* item) { OnItemChanged(cbxCategories_->row(item)); });
    connect(cbxCategories_, &QListWidget::itemSelectionChanged, this,
            &TfrmCategories::UpdateButtons);
    connect(cbxCategories_, &QListWidget::itemClicked, this, &TfrmCategories::UpdateButtons);
}

// --- Opening and closing --------------------------------------------------------------------

bool TfrmCategories::ExecuteForPicture(TPictureItem& picture, QAbstractButton& button) {
    PrepareForPicture(picture, button);
    return exec() == QDialog::Accepted;
}

bool TfrmCategories::ExecuteForAlbum(TPictureList& pictures) {
    PrepareForAlbum(pictures);
    return exec() == QDialog::Accepted;
}

void TfrmCategories::PrepareForPicture(TPictureItem& picture, QAbstractButton& button) {
    setWindowTitle(QStringLiteral("Categories ") +
                   Q(std::filesystem::path(picture.OriginalFile).filename().string()));
    move(button.mapToGlobal(QPoint(button.width(), 0)));
    picture_ = &picture;
    pictures_ = nullptr;
    tileButton_ = &button;
    if (button.isCheckable())
        button.setChecked(true);
    else
        button.setDown(true);
    LoadCategories(settings_.DB, categories_, messages_);
    ShowPictureCategories(&picture.Categories, &categories_);
    RefreshList();
}

void TfrmCategories::PrepareForAlbum(TPictureList& pictures) {
    setWindowTitle(QStringLiteral("Categories all"));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    picture_ = nullptr;
    pictures_ = &pictures;
    tileButton_ = nullptr;
    LoadCategories(settings_.DB, categories_, messages_);
    ShowAlbumCategories(&pictures, &categories_);
    RefreshList();
}

void TfrmCategories::done(int result) {
    pressedCloseKey_ = 0;
    if (result == QDialog::Accepted) {
        if (picture_) ApplyPictureCategories(&categories_, picture_);
        if (pictures_) ApplyAlbumCategories(&categories_, pictures_);
    }
    SaveGeometry();
    QDialog::done(result);
    EndRun();
}

// The end of a run: the tile's button comes up again and the window forgets whom it served.
void TfrmCategories::EndRun() {
    if (tileButton_) {
        if (tileButton_->isCheckable()) tileButton_->setChecked(false);
        tileButton_->setDown(false);
    }
    tileButton_ = nullptr;
    picture_ = nullptr;
    pictures_ = nullptr;
    hide();
}

void TfrmCategories::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    pressedCloseKey_ = 0;
    UpdateButtons();
    RestoreSize();
}

bool TfrmCategories::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const int closeKey = IsEnter(key->key())            ? Qt::Key_Return
                         : key->key() == Qt::Key_Escape ? Qt::Key_Escape
                                                        : 0;
    if (closeKey == 0) return QDialog::eventFilter(watched, event);
    if (key->isAutoRepeat()) return true;
    if (event->type() == QEvent::KeyPress) {
        pressedCloseKey_ = closeKey;
        return true;
    }
    // Only a key pressed here closes the window: the release of the Enter that closed the
    // category dialog must not close this window as well.
    if (closeKey == pressedCloseKey_ && isVisible()) {
        pressedCloseKey_ = 0;
        if (closeKey == Qt::Key_Return)
            accept();
        else
            reject();
    }
    return true;
}

// --- Geometry -------------------------------------------------------------------------------

void TfrmCategories::RestoreSize() {
    const QRect screenArea = screen()->availableGeometry();
    WithProgramKeyIgnoringErrors(store_, keyPath_, [&](TSettingsStore& s) {
        const int width = ReadStoredInteger(s, kCategoriesSection, "Width", kMinimumWidth);
        const int height = ReadStoredInteger(s, kCategoriesSection, "Heigth", kMinimumHeight);
        resize(ClampStoredExtent(width, screenArea.width()),
               ClampStoredExtent(height, screenArea.height()));
    });
}

void TfrmCategories::SaveGeometry() {
    WithProgramKeyIgnoringErrors(store_, keyPath_, [&](TSettingsStore& s) {
        WriteStoredBool(s, kCategoriesSection, "Restore", isMaximized());
        QRect normal = normalGeometry();
        if (!normal.isValid()) {
            setWindowState(Qt::WindowNoState);
            normal = geometry();
        }
        WriteStoredInteger(s, kCategoriesSection, "Top", normal.top());
        WriteStoredInteger(s, kCategoriesSection, "Left", normal.left());
        WriteStoredInteger(s, kCategoriesSection, "Width", normal.width());
        WriteStoredInteger(s, kCategoriesSection, "Heigth", normal.height());
    });
}

// --- The list and its buttons ---------------------------------------------------------------

int TfrmCategories::SelectedIndex() const {
    const int row = cbxCategories_->currentRow();
    if (row < 0 || row >= categories_.Count()) return -1;
    return cbxCategories_->item(row)->isSelected() ? row : -1;
}

void TfrmCategories::SelectEntry(int index) {
    cbxCategories_->setCurrentRow(index);
    UpdateButtons();
}

void TfrmCategories::UpdateButtons() {
    const bool selected = SelectedIndex() >= 0;
    sbnAdd_->setEnabled(true);
    sbnOk_->setEnabled(true);
    sbnCancel_->setEnabled(true);
    sbnEdit_->setEnabled(selected);
    sbnDelete_->setEnabled(selected);
}

void TfrmCategories::RefreshList() {
    refreshing_ = true;
    cbxCategories_->clear();
    for (int i = 0; i < categories_.Count(); ++i) {
        auto* item = new QListWidgetItem(Q(categories_.Text(i)), cbxCategories_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(ToCheckState(categories_.Mark(i)));
    }
    refreshing_ = false;
    UpdateButtons();
}

void TfrmCategories::RefreshEntry(int index) {
    QListWidgetItem* item = cbxCategories_->item(index);
    if (!item) return;
    refreshing_ = true;
    item->setText(Q(categories_.Text(index)));
    item->setCheckState(ToCheckState(categories_.Mark(index)));
    refreshing_ = false;
}

// The list widget toggles the box itself; the entry's own click rule decides the mark.
void TfrmCategories::OnItemChanged(int index) {
    if (refreshing_ || index < 0 || index >= categories_.Count()) return;
    if (cbxCategories_->item(index)->checkState() == ToCheckState(categories_.Mark(index))) return;
    categories_.Click(index);
    RefreshEntry(index);
}

void TfrmCategories::AddCategory() {
    auto item = std::make_unique<TCategoryItem>();
    if (editCategory_(this, QStringLiteral("Add new photo category"), *item)) {
        // A category the database did not take has no row to refer to: it is not listed.
        if (InsertCategory(settings_.DB, *item, messages_)) {
            const std::string text = item->title + " (0)";
            categories_.Add(text, std::move(item));
            RefreshList();
        }
    }
    UpdateButtons();
}

void TfrmCategories::EditCategory() {
    const int index = SelectedIndex();
    TCategoryItem* item = categories_.ItemAt(index);
    if (!item) return;
    if (editCategory_(this, QStringLiteral("Edit photo category"), *item)) {
        UpdateCategory(settings_.DB, *item, messages_);
        categories_.SetText(index, item->title + " (" + std::to_string(item->usage_count) + ")");
        RefreshEntry(index);
    }
    UpdateButtons();
}

void TfrmCategories::DeleteCategory() {
    const int index = SelectedIndex();
    const TCategoryItem* item = categories_.ItemAt(index);
    if (!item) return;
    // A row the database kept stays listed, so the list never shows a deletion that failed.
    if (item->usage_count == 0 && galerion::DeleteCategory(settings_.DB, *item, messages_)) {
        categories_.Delete(index);
        RefreshList();
    }
    UpdateButtons();
}

}  // namespace galerion::ui
