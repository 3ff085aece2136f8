// The categories window and the category dialog against a real database file: opening for a
// picture or the album, adding, editing and deleting categories, the keys that close it and
// the size it keeps.
#include "ui/categories/categories_window.h"
#include "ui/categories/category_dialog.h"

#include "core/host/messages.h"
#include "core/model.h"
#include "core/settings.h"
#include "core/settings_persistence.h"
#include "db/categories.h"
#include "platform/settings_store.h"
#include "support/scripted_host.h"
#include "support/temp_folder.h"
#include "support/test_database.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

namespace galerion::ui {
namespace {

constexpr const char* kKey = "Software\\Tarnwick\\Galerion\\1.0";

class TFakeTile : public TVisualPictureItem {
public:
    void SetCaption(const std::string& caption) override { caption_ = caption; }
    std::string Caption() const override { return caption_; }
    void SetHint(const std::string& hint) override { hint_ = hint; }
    std::string Hint() const override { return hint_; }
    void ApplyPictureState() override {}
    std::string caption_ = "a.jpg (0)", hint_;
};

// What the category dialog would do: new texts and OK, or Cancel.
struct TScriptedEditor {
    bool accept = true;
    std::string title;
    int runs = 0;
    QString caption;
    bool operator()(QWidget*, const QString& c, TCategoryItem& item) {
        ++runs;
        caption = c;
        if (accept) item.title = title;
        return accept;
    }
};

}  // namespace

class CategoriesWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::TTempFolder> folder_;
    TSettings settings_;
    test::TScriptedHost messages_;
    std::unique_ptr<TSettingsStore> store_;
    std::unique_ptr<TfrmCategories> window_;
    std::unique_ptr<TPictureList> pictures_;
    std::shared_ptr<TScriptedEditor> editor_;
    TCategoryItem summer_, family_;

    QListWidget* List() const { return window_->findChild<QListWidget*>("cbxCategories"); }
    QToolButton* Button(const char* name) const {
        auto* b = window_->findChild<QToolButton*>(QString::fromUtf8(name));
        if (!b) qFatal("no button %s", name);
        return b;
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (int i = 0; i < List()->count(); ++i)
            texts.push_back(List()->item(i)->text().toStdString());
        return texts;
    }
    int Row(const std::string& text) const {
        for (int i = 0; i < List()->count(); ++i)
            if (List()->item(i)->text().toStdString() == text) return i;
        return -1;
    }
    TPictureItem& Picture(int i) const { return *pictures_->PictureAt(i); }
    int CategoryRows() const {
        return test::ScalarInt(settings_.DB, "SELECT COUNT(*) FROM category");
    }

    void OpenForAlbum() {
        window_->PrepareForAlbum(*pictures_);
        window_->show();
    }

private slots:
    void init() {
        folder_ = std::make_unique<test::TTempFolder>();
        settings_ = TSettings{};
        settings_.DB = test::CreateDatabase(folder_->File("site.db"));
        summer_ = TCategoryItem{};
        summer_.title = "summer trip";
        summer_.description = "sun";
        QVERIFY(InsertCategory(settings_.DB, summer_, messages_));
        family_ = TCategoryItem{};
        family_.title = "family";
        QVERIFY(InsertCategory(settings_.DB, family_, messages_));
        for (int picture = 1; picture <= 3; ++picture)
            test::RunRaw(settings_.DB, "INSERT INTO picture_to_category VALUES (" +
                                           std::to_string(picture) + ", " +
                                           std::to_string(summer_.category_id) + ")");

        store_ = std::make_unique<TSettingsStore>(folder_->File("settings.reg"));
        messages_.errors.clear();
        window_ = std::make_unique<TfrmCategories>(settings_, *store_, kKey, messages_);
        editor_ = std::make_shared<TScriptedEditor>();
        window_->SetCategoryEditor(
            [editor = editor_](QWidget* parent, const QString& caption, TCategoryItem& item) {
                return (*editor)(parent, caption, item);
            });
        pictures_ = std::make_unique<TPictureList>();
        for (const char* name : {"/photos/a.jpg", "/photos/b.jpg"}) {
            pictures_->Add(name, std::make_unique<TPictureItem>(pictures_.get()));
            TPictureItem& p = *pictures_->PictureAt(pictures_->Count() - 1);
            p.OriginalFile = name;
            p.Tile = std::make_unique<TFakeTile>();
        }
    }

    void cleanup() {
        window_.reset();
        pictures_.reset();
        store_.reset();
        folder_.reset();
    }

    void theWindowHasItsButtonsAndHints() {
        QCOMPARE(window_->minimumSize(), QSize(135, 150));
        QVERIFY(window_->windowFlags().testFlag(Qt::Tool));
        const std::pair<const char*, const char*> hints[] = {
            {"sbnAdd", "Add new category"},
            {"sbnEdit", "Edit selected category"},
            {"sbnDelete", "Delete selected category"},
            {"sbnOk", "Add image to selected categories"},
            {"sbnCancel", "Cancel adding image to categories"}};
        for (const auto& [name, hint] : hints) {
            QCOMPARE(Button(name)->toolTip(), QString::fromUtf8(hint));
            QCOMPARE(Button(name)->focusPolicy(), Qt::NoFocus);
            QVERIFY(Button(name)->autoRaise());
        }
        QVERIFY(List()->focusPolicy() != Qt::NoFocus);
    }

    void openingForAPictureTicksItsCategoriesAndOkAppliesTheTicks() {
        QToolButton button;
        button.setCheckable(true);
        button.resize(19, 19);
        button.move(40, 30);
        Picture(0).Categories = {std::to_string(summer_.category_id)};
        window_->PrepareForPicture(Picture(0), button);
        window_->show();
        QCOMPARE(window_->windowTitle(), QStringLiteral("Categories a.jpg"));
        QCOMPARE(window_->pos(), button.mapToGlobal(QPoint(19, 0)));
        QVERIFY(button.isChecked());
        QCOMPARE(Texts(), (std::vector<std::string>{"summer trip (3)", "family (0)"}));
        QCOMPARE(List()->item(Row("summer trip (3)"))->checkState(), Qt::Checked);
        QVERIFY(!Button("sbnEdit")->isEnabled());
        QVERIFY(!Button("sbnDelete")->isEnabled());
        // Ticking family with the keyboard, then Enter released on the list.
        List()->setFocus();
        List()->setCurrentRow(Row("family (0)"));
        QVERIFY(Button("sbnEdit")->isEnabled());
        List()->item(Row("family (0)"))->setCheckState(Qt::Checked);
        QTest::keyPress(List(), Qt::Key_Return);
        QVERIFY(window_->isVisible());  // the press alone does nothing
        QTest::keyRelease(List(), Qt::Key_Return);
        QVERIFY(!window_->isVisible());
        QCOMPARE(window_->result(), int(QDialog::Accepted));
        QCOMPARE(Picture(0).Categories.size(), std::size_t{2});
        QCOMPARE(Picture(0).Tile->Caption(), std::string("a.jpg(2)"));
        QVERIFY(!button.isChecked());
        QVERIFY(!button.isDown());
    }

    void cancelAndEscapeChangeNothingAndReleaseTheButton() {
        QToolButton button;
        button.setCheckable(true);
        window_->PrepareForPicture(Picture(0), button);
        window_->show();
        List()->item(0)->setCheckState(Qt::Checked);
        Button("sbnCancel")->click();
        QVERIFY(Picture(0).Categories.empty());
        QVERIFY(!button.isChecked());

        window_->PrepareForPicture(Picture(0), button);
        window_->show();
        QVERIFY(button.isChecked());
        List()->item(0)->setCheckState(Qt::Checked);
        // The release of a key pressed elsewhere (the category dialog's Enter) does nothing.
        QTest::keyRelease(List(), Qt::Key_Return);
        QVERIFY(window_->isVisible());
        QTest::keyPress(List(), Qt::Key_Escape);
        QVERIFY(window_->isVisible());
        QTest::keyRelease(List(), Qt::Key_Escape);
        QVERIFY(!window_->isVisible());
        QCOMPARE(window_->result(), int(QDialog::Rejected));
        QVERIFY(Picture(0).Categories.empty());
        QVERIFY(!button.isChecked());
    }

    void executeForAPictureRunsModally() {
        QToolButton button;
        QTimer::singleShot(0, window_.get(), [this] {
            List()->item(Row("family (0)"))->setCheckState(Qt::Checked);
            Button("sbnOk")->click();
        });
        QVERIFY(window_->ExecuteForPicture(Picture(1), button));
        QCOMPARE(Picture(1).Categories,
                 std::vector<std::string>{std::to_string(family_.category_id)});
        QVERIFY(!button.isDown());
    }

    void openingForTheAlbumShowsMixedMarksAndAppliesToEveryPicture() {
        Picture(0).Categories = {std::to_string(summer_.category_id)};
        OpenForAlbum();
        QCOMPARE(window_->windowTitle(), QStringLiteral("Categories all"));
        QCOMPARE(List()->item(Row("summer trip (3)"))->checkState(), Qt::PartiallyChecked);
        QCOMPARE(List()->item(Row("family (0)"))->checkState(), Qt::Unchecked);
        // A click on an unticked box ticks it.
        List()->item(Row("family (0)"))->setCheckState(Qt::Checked);
        window_->accept();
        for (int i = 0; i < 2; ++i) {
            QVERIFY(std::find(Picture(i).Categories.begin(), Picture(i).Categories.end(),
                              std::to_string(family_.category_id)) != Picture(i).Categories.end());
        }
        QCOMPARE(Picture(0).Categories.size(), std::size_t{2});
        QCOMPARE(Picture(1).Categories.size(), std::size_t{1});  // mixed summer stays as it was
    }

    void addAppendsTheNewCategoryUntickedAndStoresIt() {
        OpenForAlbum();
        editor_->title = "Kids' \"party\"; DROP TABLE category;\nline two";
        Button("sbnAdd")->click();
        QCOMPARE(editor_->caption, QStringLiteral("Add new photo category"));
        QCOMPARE(Texts().back(), editor_->title + " (0)");
        QCOMPARE(List()->item(List()->count() - 1)->checkState(), Qt::Unchecked);
        QCOMPARE(CategoryRows(), 3);
        TCategoryCheckList reloaded;
        QVERIFY(LoadCategories(settings_.DB, reloaded, messages_));
        bool found = false;
        for (int i = 0; i < reloaded.Count(); ++i)
            found |= reloaded.ItemAt(i)->title == editor_->title;
        QVERIFY(found);

        editor_->accept = false;
        Button("sbnAdd")->click();
        QCOMPARE(List()->count(), 3);
        QCOMPARE(CategoryRows(), 3);
    }

    void aCategoryAddedInTheSameRunCanBeDeleted() {
        OpenForAlbum();
        editor_->title = "new one";
        Button("sbnAdd")->click();
        window_->SelectEntry(Row("new one (0)"));
        QVERIFY(Button("sbnDelete")->isEnabled());
        Button("sbnDelete")->click();
        QCOMPARE(Row("new one (0)"), -1);
        QCOMPARE(CategoryRows(), 2);
        QVERIFY(!Button("sbnDelete")->isEnabled());
        QVERIFY(messages_.errors.empty());
    }

    void deleteOfAUsedCategoryDoesNothingAndSaysNothing() {
        OpenForAlbum();
        test::RunRaw(settings_.DB, "DELETE FROM picture_to_category WHERE picture_id = 3");
        window_->PrepareForAlbum(*pictures_);  // reloaded: summer trip (2)
        window_->SelectEntry(Row("summer trip (2)"));
        Button("sbnDelete")->click();
        QVERIFY(Row("summer trip (2)") >= 0);
        QCOMPARE(CategoryRows(), 2);
        QVERIFY(messages_.errors.empty());
    }

    void editRebuildsTheEntryWithItsUsageCount() {
        OpenForAlbum();
        window_->SelectEntry(Row("summer trip (3)"));
        editor_->title = "winter holiday";
        Button("sbnEdit")->click();
        QCOMPARE(editor_->caption, QStringLiteral("Edit photo category"));
        QVERIFY(Row("winter holiday (3)") >= 0);
        TCategoryCheckList reloaded;
        QVERIFY(LoadCategories(settings_.DB, reloaded, messages_));
        QCOMPARE(reloaded.Text(0), std::string("winter holiday (3)"));
        QCOMPARE(reloaded.ItemAt(0)->description, std::string("sun"));
    }

    void editCancelledChangesNothing() {
        OpenForAlbum();
        window_->SelectEntry(Row("summer trip (3)"));
        editor_->accept = false;
        editor_->title = "ignored";
        Button("sbnEdit")->click();
        QVERIFY(Row("summer trip (3)") >= 0);
        QCOMPARE(window_->Categories().ItemAt(Row("summer trip (3)"))->title,
                 std::string("summer trip"));
        QCOMPARE(test::ScalarInt(settings_.DB,
                                 "SELECT COUNT(*) FROM category WHERE title = 'summer trip'"),
                 1);
    }

    void aVanishedDatabaseIsReportedAndTheWindowGoesOn() {
        OpenForAlbum();
        settings_.DB = test::SqliteConnection(folder_->File("gone/site.db"));
        editor_->title = "lost";
        Button("sbnAdd")->click();
        QCOMPARE(messages_.errors.size(), std::size_t{1});
        QCOMPARE(Row("lost (0)"), -1);  // no row, so nothing to tick
        window_->SelectEntry(Row("family (0)"));
        Button("sbnDelete")->click();
        QCOMPARE(messages_.errors.size(), std::size_t{2});
        QVERIFY(Row("family (0)") >= 0);  // the failed deletion leaves the entry listed
        QVERIFY(window_->isVisible());
        Button("sbnCancel")->click();
        QVERIFY(!window_->isVisible());
    }

    void sizeIsRestoredClampedAndGeometryWrittenOnEveryClose() {
        OpenForAlbum();
        QCOMPARE(window_->size(), QSize(135, 150));
        window_->resize(200, 260);
        window_->reject();
        store_->OpenKey(kKey, false);
        QCOMPARE(ReadStoredInteger(*store_, kCategoriesSection, "Width", 0), 200);
        QCOMPARE(ReadStoredInteger(*store_, kCategoriesSection, "Heigth", 0), 260);
        QVERIFY(store_->ValueType(kCategoriesSection, "Top") != TStoreValueType::Absent);
        QVERIFY(!ReadStoredBool(*store_, kCategoriesSection, "Restore", true));
        store_->WriteNumber(kCategoriesSection, "Width", 50);
        store_->CloseKey();
        OpenForAlbum();
        QCOMPARE(window_->width(), window_->screen()->availableGeometry().width());
        QCOMPARE(window_->height(), 260);
    }

    // The category dialog itself: its boxes, the refused empty title and Cancel.
    void categoryDialogFillsRefusesBlankTitlesAndWritesOnOk() {
        TCategoryItem item;
        item.title = "sea";
        item.alt_description = "Meer";
        TfrmAddEditCategory dialog(messages_, &item);
        dialog.show();
        auto* name = dialog.findChild<QLineEdit*>("edtName");
        QCOMPARE(name->text(), QStringLiteral("sea"));
        QCOMPARE(dialog.findChild<QPlainTextEdit*>("memDescriptionR")->toPlainText(),
                 QStringLiteral("Meer"));
        QCOMPARE(dialog.size(), QSize(387, 183));
        name->setText(QStringLiteral("   "));
        dialog.findChild<QPushButton*>("bbnOk")->click();
        QCOMPARE(messages_.errors, std::vector<std::string>{"Category name can not be empty."});
        QVERIFY(dialog.isVisible());
        QCOMPARE(item.title, std::string("sea"));
        name->setText(QStringLiteral("\t\n "));
        dialog.accept();
        QCOMPARE(messages_.errors.size(), std::size_t{2});
        dialog.findChild<QLineEdit*>("edtNameR")->setText(QStringLiteral("Zee"));
        dialog.findChild<QPushButton*>("bbnCancel")->click();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(item.title, std::string("sea"));
        QCOMPARE(item.alt_title, std::string());

        dialog.show();
        QCOMPARE(name->text(), QStringLiteral("sea"));
        const QString longTitle(10000, QLatin1Char('x'));
        name->setText(QStringLiteral("  ") + longTitle);
        dialog.findChild<QPlainTextEdit*>("memDescription")->setPlainText(QStringLiteral("a\nb"));
        dialog.findChild<QPushButton*>("bbnOk")->click();
        QCOMPARE(item.title, "  " + longTitle.toStdString());  // as typed, not trimmed
        QCOMPARE(item.description, std::string("a\nb"));
    }
};

}  // namespace galerion::ui

QTEST_MAIN(galerion::ui::CategoriesWindowTest)
#include "categories_window_test.moc"
