// Renders the full-size view (with a crop frame) and the categories window to PNG files for
// the README: galerion_view_screens <output folder> [--all]. With --all also the view at a
// fixed scale, the scale question and the category dialog. Runs under any Qt platform,
// offscreen too.
#include "core/host/messages.h"
#include "core/model.h"
#include "core/settings.h"
#include "db/categories.h"
#include "db/query.h"
#include "db/script_text.h"
#include "image/jpeg_codec.h"
#include "platform/settings_store.h"
#include "ui/categories/categories_window.h"
#include "ui/categories/category_dialog.h"
#include "ui/fullsize/full_size_window.h"
#include "ui/fullsize/scale_question.h"

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <memory>

namespace galerion::ui {
namespace {

class TSilentMessages : public TMessages {
public:
    void ShowError(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    void ShowWarning(const std::string& text) override { ShowError(text); }
    void ShowInformation(const std::string&) override {}
    bool Confirm(const std::string&) override { return true; }
    [[noreturn]] void ExitProgram(int code) override { std::exit(code); }
};

class TNoTile : public TVisualPictureItem {
public:
    void SetCaption(const std::string&) override {}
    std::string Caption() const override { return {}; }
    void SetHint(const std::string&) override {}
    std::string Hint() const override { return {}; }
    void ApplyPictureState() override {}
};

// A made-up landscape: sky, sun, hills and a lake, painted here.
TBitmap32 Landscape(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, height * 0.6);
    sky.setColorAt(0, QColor(40, 90, 170));
    sky.setColorAt(1, QColor(250, 190, 120));
    p.fillRect(image.rect(), sky);
    p.setBrush(QColor(255, 230, 150));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(width * 0.68, height * 0.42), height * 0.09, height * 0.09);
    QPainterPath hills;
    hills.moveTo(0, height * 0.62);
    hills.cubicTo(width * 0.25, height * 0.40, width * 0.45, height * 0.70, width * 0.7,
                  height * 0.52);
    hills.cubicTo(width * 0.85, height * 0.45, width * 0.95, height * 0.55, width, height * 0.5);
    hills.lineTo(width, height);
    hills.lineTo(0, height);
    p.fillPath(hills, QColor(50, 100, 60));
    QLinearGradient lake(0, height * 0.75, 0, height);
    lake.setColorAt(0, QColor(70, 120, 170));
    lake.setColorAt(1, QColor(20, 50, 90));
    p.fillRect(QRectF(0, height * 0.78, width, height * 0.22), lake);
    p.end();
    TBitmap32 raster;
    raster.SetSize(width, height);
    for (int y = 0; y < height; ++y)
        std::memcpy(raster.ScanLine(y), image.constScanLine(y),
                    static_cast<std::size_t>(width) * 4);
    return raster;
}

void MakeDatabase(const std::string& connection, const std::string& script) {
    const auto query = TQuery::Create(connection, TMissingDatabase::Create);
    for (const std::string& statement : SplitScriptStatements(ReadScriptFile(script))) {
        query->SetText(statement);
        query->Execute();
    }
}

}  // namespace
}  // namespace galerion::ui

int main(int argc, char** argv) {
    using namespace galerion;
    using namespace galerion::ui;
    QApplication app(argc, argv);
    const bool all = argc == 3 && std::strcmp(argv[2], "--all") == 0;
    if (argc != 2 && !all) {
        std::fprintf(stderr, "usage: galerion_view_screens <output folder> [--all]\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir folder;
    const std::string photo = folder.filePath("IMG_0042.jpg").toStdString();
    SaveJpeg(Landscape(1600, 1067), 92, photo);

    TSettings settings;
    settings.DB = "Provider=SQLite;Data Source=" + folder.filePath("site.db").toStdString();
    MakeDatabase(settings.DB,
                 QCoreApplication::applicationDirPath().toStdString() + "/create_tables.sql");
    TSettingsStore store(folder.filePath("settings.reg").toStdString());
    TSilentMessages messages;
    const std::string key = "Software\\Tarnwick\\Galerion\\1.0";

    TPictureList pictures;
    pictures.Add(photo, std::make_unique<TPictureItem>(&pictures));
    TPictureItem& picture = *pictures.PictureAt(0);
    picture.OriginalFile = photo;
    picture.Title = "Evening at the lake";
    picture.AltTitle = "Abend am See";
    picture.PictureDate = EncodeDateTime({2006, 8, 14});
    picture.CropX1 = 260, picture.CropY1 = 190, picture.CropX2 = 1380, picture.CropY2 = 900;
    picture.Tile = std::make_unique<TNoTile>();

    TfrmFullSize fullSize(settings, store, key, messages);
    if (!fullSize.Open(picture)) return 1;
    fullSize.show();
    fullSize.resize(720, 520);
    QCoreApplication::processEvents();
    fullSize.grab().save(out + "/full-size-view.png");
    if (all) {
        fullSize.findChild<QLineEdit*>("edtScale")->setText("0.75");
        fullSize.findChild<QCheckBox*>("cbxUseScale")->click();
        QCoreApplication::processEvents();
        fullSize.grab().save(out + "/full-size-view-scaled.png");
        TfrmScale question;
        question.show();
        QCoreApplication::processEvents();
        question.grab().save(out + "/scale-question.png");
        TCategoryItem item;
        item.title = "Lakes";
        item.description = "Still water,\nmountains around";
        TfrmAddEditCategory dialog(messages, &item);
        dialog.setWindowTitle("Edit photo category");
        dialog.show();
        QCoreApplication::processEvents();
        dialog.grab().save(out + "/category-dialog.png");
    }
    fullSize.reject();

    int id = 0;
    for (const char* title : {"Landscapes", "Family", "Summer trip", "Lakes", "Sunsets"}) {
        TCategoryItem item;
        item.title = title;
        InsertCategory(settings.DB, item, messages);
        if (++id % 2 == 1) picture.Categories.push_back(std::to_string(item.category_id));
    }
    pictures.Add("second", std::make_unique<TPictureItem>(&pictures));
    pictures.PictureAt(1)->Categories = {picture.Categories.front()};
    TfrmCategories categories(settings, store, key, messages);
    categories.PrepareForAlbum(pictures);
    categories.show();
    categories.resize(200, 190);
    QCoreApplication::processEvents();
    categories.grab().save(out + "/categories-window.png");
    categories.reject();
    return 0;
}
