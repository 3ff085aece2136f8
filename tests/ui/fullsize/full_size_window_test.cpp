// The full-size view as the user meets it: opening a real photo, the crop frame dragged with the
// mouse, OK and Cancel, the scale question and the stored placement.
#include "ui/fullsize/full_size_window.h"

#include "core/model.h"
#include "core/settings_persistence.h"
#include "image/jpeg_codec.h"
#include "image/orientation.h"
#include "platform/date_time.h"
#include "platform/errors.h"
#include "platform/settings_store.h"
#include "support/files.h"
#include "support/scripted_host.h"
#include "support/temp_folder.h"
#include "ui/fullsize/picture_view.h"
#include "ui/fullsize/scale_question.h"
#include "ui/fullsize/view_drawing.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <clocale>
#include <cstdio>
#include <cstring>
#include <memory>

namespace galerion::ui {
namespace {

class TFakeTile : public TVisualPictureItem {
public:
    void SetCaption(const std::string&) override {}
    std::string Caption() const override { return {}; }
    void SetHint(const std::string&) override {}
    std::string Hint() const override { return {}; }
    void ApplyPictureState() override {}
    void Repaint() override { ++repaints; }
    // As the tile does: the working thumbnail read again and turned.
    void ReloadThumbnail() override {
        if (failReload) throw ImageError("Not a JPEG file");
        LoadPicture(thumbnail, picture->TempFile);
        ApplyOrientation(thumbnail, picture->Orientation);
    }
    const TPictureItem* picture = nullptr;
    TBitmap32 thumbnail;
    int repaints = 0;
    bool failReload = false;
};

void SendMouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), target->mapToGlobal(QPointF(at)), button, buttons,
                      modifiers);
    QCoreApplication::sendEvent(target, &event);
}

constexpr const char* kKey = "Software\\Tarnwick\\Galerion\\1.0";

}  // namespace

class FullSizeWindowTest : public QObject {
    Q_OBJECT

private:
    test::TTempFolder folder_;
    std::string photo_, thumb_;
    TSettings settings_;
    test::TScriptedHost messages_;
    std::unique_ptr<TSettingsStore> store_;
    std::unique_ptr<TfrmFullSize> window_;
    std::unique_ptr<TPictureList> list_;
    TPictureItem* picture_ = nullptr;
    TFakeTile* tile_ = nullptr;
    int questions_ = 0;
    TScaleReply reply_;

    template <class T>
    T* Child(const char* name) const {
        T* child = window_->findChild<T*>(QString::fromUtf8(name));
        if (!child) qFatal("no control %s", name);
        return child;
    }
    TPictureView* View() const { return &window_->View(); }

    void StoreValue(const char* name, int value) {
        store_->OpenKey(kKey, true);
        store_->WriteNumber(kFullSizeSection, name, value);
        store_->CloseKey();
    }

    // Opens the picture and shows the window (without a nested event loop).
    void OpenAndShow() {
        QVERIFY(window_->Open(*picture_));
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }

    // Drags from one viewport point to another with the left button, as a person would.
    void Drag(QPoint from, QPoint to, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* viewport = View()->viewport();
        SendMouse(viewport, QEvent::MouseButtonPress, from, Qt::LeftButton, modifiers);
        SendMouse(viewport, QEvent::MouseMove, (from + to) / 2, Qt::LeftButton, modifiers);
        SendMouse(viewport, QEvent::MouseMove, to, Qt::LeftButton, modifiers);
        SendMouse(viewport, QEvent::MouseButtonRelease, to, Qt::NoButton, modifiers);
    }

    QPoint RightEdgeHandle() const {
        const TRect r = View()->CropFrameViewRect();
        return {r.Right - 1, (r.Top + r.Bottom) / 2};
    }
    QPoint LeftEdgeHandle() const {
        const TRect r = View()->CropFrameViewRect();
        return {r.Left, (r.Top + r.Bottom) / 2};
    }

private slots:
    void initTestCase() {
        std::setlocale(LC_ALL, "C");
        photo_ = folder_ / "photo.jpg";
        thumb_ = folder_ / "tmp_photo.jpg";
        test::WriteJpeg(photo_, 1000, 800);
        test::WriteJpeg(thumb_, 150, 120);
    }

    void init() {
        std::remove((folder_ / "settings.reg").c_str());
        store_ = std::make_unique<TSettingsStore>(folder_ / "settings.reg");
        settings_ = TSettings{};
        messages_.errors.clear();
        questions_ = 0;
        window_ = std::make_unique<TfrmFullSize>(settings_, *store_, kKey, messages_);
        window_->SetScaleQuestion([this] {
            ++questions_;
            return reply_;
        });
        list_ = std::make_unique<TPictureList>();
        list_->Add(photo_, std::make_unique<TPictureItem>(list_.get()));
        picture_ = list_->PictureAt(0);
        picture_->OriginalFile = photo_;
        picture_->TempFile = thumb_;
        picture_->Title = "Beach";
        picture_->PictureDate = EncodeDateTime({2005, 2, 28});
        auto tile = std::make_unique<TFakeTile>();
        tile->picture = picture_;
        tile_ = tile.get();
        picture_->Tile = std::move(tile);
    }

    void cleanup() {
        window_.reset();
        list_.reset();
        store_.reset();
    }

    void opensThePhotoWithItsTextsAndNoCrop() {
        picture_->AltTitle = "Strand";
        OpenAndShow();
        QCOMPARE(window_->windowTitle(), QStringLiteral("Fullsize image - photo.jpg"));
        QCOMPARE(Child<QLineEdit>("edtTitle")->text(), QStringLiteral("Beach"));
        QCOMPARE(Child<QLineEdit>("edtAltTitle")->text(), QStringLiteral("Strand"));
        QCOMPARE(Child<QLineEdit>("edtDate")->text(), QStringLiteral("02/28/05"));
        QCOMPARE(window_->Picture().Width(), 1000);
        QCOMPARE(window_->Picture().StretchFilter, sfLanczos);  // ResizeMode 3
        QVERIFY(!Child<QCheckBox>("cbxCrop")->isChecked());
        QVERIFY(!Child<QLabel>("lblCrop")->isVisible());
        QVERIFY(!View()->CropFrame());
        QVERIFY(!Child<QPushButton>("bbnApply")->isEnabled());
        QVERIFY(window_->minimumWidth() >= 550 && window_->minimumHeight() >= 300);
        // The first drawing (made while decoding) is the fitted picture drawn afterwards.
        window_->View().RenderBackBuffer();
        const TBitmap32& shown = View()->BackBuffer();
        const QColor back = View()->palette().color(QPalette::Window);
        TBitmap32 fresh;
        fresh.SetSize(shown.Width(), shown.Height());
        DrawPictureView(window_->Picture(), fresh, View()->PictureRect(),
                        Color32(back.red(), back.green(), back.blue()));
        QVERIFY(std::memcmp(shown.Bits(), fresh.Bits(), fresh.PixelCount() * 4) == 0);
    }

    void ticksSetCropWithTheDefaultFrame() {
        OpenAndShow();
        Child<QCheckBox>("cbxCrop")->click();
        QVERIFY(Child<QLabel>("lblCrop")->isVisible());
        QCOMPARE(Child<QLabel>("lblCrop")->text(),
                 QStringLiteral("(100, 80) - (900, 720). new size: 800 x 640"));
        QCOMPARE(window_->CropRect(), (TCropRect{100, 80, 900, 720}));
        QVERIFY(View()->CropFrame().has_value());
        // The bevel lies on the frame's outermost screen pixels: lighter than the picture.
        window_->View().RenderBackBuffer();
        const TRect r = View()->CropFrameViewRect();
        QVERIFY(RedOf(View()->BackBuffer().Pixel((r.Left + r.Right) / 2, r.Top)) > 128);
    }

    void rightEdgeDraggedBeyondThePictureStopsAtItsWidth() {
        OpenAndShow();
        Child<QCheckBox>("cbxCrop")->click();
        Drag(RightEdgeHandle(), RightEdgeHandle() + QPoint(400, 0));
        QCOMPARE(window_->CropRect(), (TCropRect{100, 80, 1000, 720}));
        QCOMPARE(Child<QLabel>("lblCrop")->text(),
                 QStringLiteral("(100, 80) - (1000, 720). new size: 900 x 640"));
    }

    void leftEdgeDraggedPastTheRightLeavesOnePixel() {
        OpenAndShow();
        Child<QCheckBox>("cbxCrop")->click();
        Drag(LeftEdgeHandle(), LeftEdgeHandle() + QPoint(1000, 0));
        QCOMPARE(window_->CropRect(), (TCropRect{899, 80, 900, 720}));
    }

    void ctrlDragShowsASymmetricFrameAndStoresTheCorrectedOne() {
        OpenAndShow();
        Child<QCheckBox>("cbxCrop")->click();
        const TCropLocation before = *View()->CropFrame();
        Drag(RightEdgeHandle(), RightEdgeHandle() + QPoint(10, 0), Qt::ControlModifier);
        const TCropLocation shown = *View()->CropFrame();
        const TCropRect stored = window_->CropRect();
        QCOMPARE(stored.X1, 100);
        QVERIFY(stored.X2 > 900);
        // Shown: the dragged right edge and its mirror about the old centre x = 500.
        QCOMPARE((shown.Left + shown.Right) / 2, (before.Left + before.Right) / 2);
        QCOMPARE(qRound(shown.Right), stored.X2);
        QCOMPARE(qRound(shown.Left), 1000 - stored.X2);
        // A move with Ctrl leaves the frame in place.
        const QPoint inside(RightEdgeHandle().x() - 40, RightEdgeHandle().y() + 20);
        Drag(inside, inside + QPoint(-30, -30), Qt::ControlModifier);
        QCOMPARE(*View()->CropFrame(), shown);
    }

    void draggingDrawsNearestUntilTheMouseIsReleased() {
        OpenAndShow();
        Child<QCheckBox>("cbxCrop")->click();
        QWidget* viewport = View()->viewport();
        const QPoint handle = RightEdgeHandle();
        SendMouse(viewport, QEvent::MouseButtonPress, handle, Qt::LeftButton);
        SendMouse(viewport, QEvent::MouseMove, handle - QPoint(20, 0), Qt::LeftButton);
        QVERIFY(window_->Interactive());
        QCOMPARE(window_->Picture().StretchFilter, sfNearest);
        SendMouse(viewport, QEvent::MouseButtonRelease, handle - QPoint(20, 0), Qt::NoButton);
        QVERIFY(!window_->Interactive());
        QCOMPARE(window_->Picture().StretchFilter, sfNearest);
        QTRY_COMPARE(window_->Picture().StretchFilter, sfLanczos);
    }

    void windowResizeDrawsNearestUntilItSettles() {
        OpenAndShow();
        window_->SizeMoveStarted();
        QVERIFY(window_->Interactive());
        QCOMPARE(window_->Picture().StretchFilter, sfNearest);
        window_->SizeMoveEnded();
        QTRY_COMPARE(window_->Picture().StretchFilter, sfLanczos);
        // With a fixed scale nothing changes.
        Child<QCheckBox>("cbxUseScale")->click();
        window_->SizeMoveStarted();
        QVERIFY(!window_->Interactive());
        QCOMPARE(window_->Picture().StretchFilter, sfLanczos);
    }

    void untickingThenOkRemovesTheCrop() {
        picture_->CropX1 = 10, picture_->CropY1 = 20, picture_->CropX2 = 110, picture_->CropY2 = 70;
        OpenAndShow();
        QVERIFY(Child<QCheckBox>("cbxCrop")->isChecked());
        QCOMPARE(Child<QLabel>("lblCrop")->text(),
                 QStringLiteral("(10, 20) - (110, 70). new size: 100 x 50"));
        Child<QCheckBox>("cbxCrop")->click();
        QVERIFY(!View()->CropFrame());
        QVERIFY(!Child<QLabel>("lblCrop")->isVisible());
        QCOMPARE(window_->CropRect(), (TCropRect{10, 20, 110, 70}));  // kept until OK
        window_->accept();
        window_->Finish(*picture_, true);
        QCOMPARE(picture_->CropX1, -1);
        QCOMPARE(picture_->CropY1, -1);
        QCOMPARE(picture_->CropX2, -1);
        QCOMPARE(picture_->CropY2, -1);
    }

    void cancelKeepsTheOldCropAndStillSetsTheOrientedSize() {
        picture_->Orientation = 2;
        picture_->CropX1 = 10, picture_->CropY1 = 20, picture_->CropX2 = 110, picture_->CropY2 = 70;
        OpenAndShow();
        Drag(RightEdgeHandle(), RightEdgeHandle() + QPoint(50, 0));
        QVERIFY(window_->CropRect().X2 > 110);
        Child<QLineEdit>("edtTitle")->setText(QStringLiteral("changed"));
        window_->reject();
        window_->Finish(*picture_, false);
        QCOMPARE(picture_->CropX2, 110);
        QCOMPARE(picture_->Title, std::string("Beach"));
        QCOMPARE(picture_->PixelWidth, 800);
        QCOMPARE(picture_->PixelHeight, 1000);
        QVERIFY(tile_->thumbnail.Empty());  // not reloaded
        QCOMPARE(tile_->repaints, 1);
        QVERIFY(!View()->CropFrame());
    }

    void okWritesTheEditsAndReloadsTheTileThumbnailTurned() {
        picture_->Orientation = -2;
        OpenAndShow();
        Child<QLineEdit>("edtTitle")->setText(QStringLiteral("Dunes 'n' \"sea\""));
        Child<QLineEdit>("edtAltTitle")->setText(QStringLiteral("Duinen"));
        Child<QLineEdit>("edtDate")->setText(QStringLiteral("03/01/2006"));
        Child<QCheckBox>("cbxCrop")->click();
        window_->accept();
        window_->Finish(*picture_, true);
        QCOMPARE(picture_->Title, std::string("Dunes 'n' \"sea\""));
        QCOMPARE(picture_->AltTitle, std::string("Duinen"));
        QCOMPARE(picture_->PictureDate, EncodeDateTime({2006, 3, 1}));
        // Turned a quarter: the default frame of an 800 x 1000 picture.
        QCOMPARE(picture_->CropX1, 80);
        QCOMPARE(picture_->CropY2, 900);
        QCOMPARE(picture_->PixelWidth, 800);
        QCOMPARE(tile_->thumbnail.Width(), 120);
        QCOMPARE(tile_->thumbnail.Height(), 150);
        QCOMPARE(tile_->repaints, 1);
        QVERIFY(messages_.errors.empty());
    }

    void aThumbnailThatCannotBeReadAgainStillKeepsTheEdits() {
        tile_->failReload = true;
        OpenAndShow();
        Child<QLineEdit>("edtTitle")->setText(QStringLiteral("kept"));
        window_->accept();
        window_->Finish(*picture_, true);
        QCOMPARE(picture_->Title, std::string("kept"));
        QCOMPARE(picture_->PixelWidth, 1000);
        QCOMPARE(messages_.errors, std::vector<std::string>{"Not a JPEG file"});
    }

    void aDateThatIsNoDateKeepsThePicturesDate() {
        const TDateTime before = picture_->PictureDate;
        OpenAndShow();
        Child<QLineEdit>("edtDate")->setText(QStringLiteral("02/31/2005"));
        window_->accept();
        window_->Finish(*picture_, true);
        QCOMPARE(picture_->PictureDate, before);
        QVERIFY(messages_.errors.empty());
    }

    void aPictureWithoutDateShowsTheFilesDate() {
        picture_->PictureDate = 0;
        OpenAndShow();
        QCOMPARE(Child<QLineEdit>("edtDate")->text().toStdString(),
                 ShortDateText(FileModifiedTime(photo_)));
    }

    void aPhotoThatCannotBeDecodedIsReportedAndNotShown() {
        picture_->OriginalFile = thumb_ + ".missing";
        QVERIFY(!window_->Open(*picture_));
        QCOMPARE(messages_.errors.size(), std::size_t{1});
        QVERIFY(!window_->isVisible());
        picture_->OriginalFile = folder_ / "broken.jpg";
        test::WriteText(picture_->OriginalFile, "\xFF\xD8 not a jpeg");
        QVERIFY(!window_->Execute(*picture_));
        QCOMPARE(messages_.errors.size(), std::size_t{2});
        QCOMPARE(picture_->PixelWidth, -1);
    }

    void scaleTwoAnsweredNoFallsBackToOne() {
        OpenAndShow();
        reply_ = {false, false};
        Child<QLineEdit>("edtScale")->setText(QStringLiteral("2"));
        Child<QCheckBox>("cbxUseScale")->click();
        QCOMPARE(questions_, 1);
        QCOMPARE(Child<QLineEdit>("edtScale")->text(), QStringLiteral("1.0"));
        QCOMPARE(View()->Scale(), 1.0);
        QVERIFY(View()->ScaleModeOn());
        QVERIFY(Child<QPushButton>("bbnApply")->isEnabled());
        QVERIFY(!settings_.ScaleChoice);
    }

    void scaleYesWithDoNotShowAgainAppliesLaterScalesWithoutAsking() {
        OpenAndShow();
        reply_ = {true, true};
        Child<QLineEdit>("edtScale")->setText(QStringLiteral("2"));
        Child<QCheckBox>("cbxUseScale")->click();
        QCOMPARE(View()->Scale(), 2.0);
        QVERIFY(!settings_.Scale);
        Child<QLineEdit>("edtScale")->setText(QStringLiteral("3.5"));
        Child<QPushButton>("bbnApply")->click();
        QCOMPARE(View()->Scale(), 3.5);
        QCOMPARE(questions_, 1);
        QCOMPARE(View()->horizontalScrollBar()->maximum(), 3500 - View()->viewport()->width());
    }

    void scaleTextThatIsNoNumberShowsTheScaleInForceAndScaleOne() {
        settings_.Scale = false;  // always apply without asking
        OpenAndShow();
        Child<QLineEdit>("edtScale")->setText(QStringLiteral("2"));
        Child<QCheckBox>("cbxUseScale")->click();
        QCOMPARE(View()->Scale(), 2.0);
        Child<QLineEdit>("edtScale")->setText(QStringLiteral("abc"));
        Child<QPushButton>("bbnApply")->click();
        QCOMPARE(Child<QLineEdit>("edtScale")->text(), QStringLiteral("2"));
        QCOMPARE(View()->Scale(), 1.0);
        QCOMPARE(questions_, 0);
    }

    void aScaledViewDrawsOnlyTheViewport() {
        settings_.Scale = false;
        OpenAndShow();
        Child<QLineEdit>("edtScale")->setText(QStringLiteral("4"));
        Child<QCheckBox>("cbxUseScale")->click();
        window_->View().RenderBackBuffer();
        QCOMPARE(View()->BackBuffer().Width(), View()->viewport()->width());
        QCOMPARE(View()->BackBuffer().Height(), View()->viewport()->height());
    }

    void storedPlacementIsKeptOnTheScreen() {
        StoreValue("Width", 50);
        StoreValue("Left", -11);
        StoreValue("Top", 40);
        OpenAndShow();
        const QRect screen = window_->screen()->availableGeometry();
        QCOMPARE(window_->width(), screen.width());
        QCOMPARE(window_->x(), 0);
        QCOMPARE(window_->y(), 40);
    }

    void closingWritesPlacementAndScaleAndBlanksThePicture() {
        settings_.Scale = false;
        OpenAndShow();
        window_->resize(640, 420);
        Child<QLineEdit>("edtScale")->setText(QStringLiteral("1.5"));
        Child<QCheckBox>("cbxUseScale")->click();
        window_->reject();
        QCOMPARE(window_->Picture().Width(), 1000);
        QCOMPARE(window_->Picture().Pixel(500, 400), Color32(0, 0, 0));
        store_->OpenKey(kKey, false);
        QCOMPARE(ReadStoredInteger(*store_, kFullSizeSection, "Width", 0), 640);
        QCOMPARE(ReadStoredInteger(*store_, kFullSizeSection, "Heigth", 0), 420);
        QCOMPARE(ReadStoredString(*store_, kFullSizeSection, "ScaleValue", ""), std::string("1.5"));
        QVERIFY(ReadStoredBool(*store_, kFullSizeSection, "UseScale", false));
        QVERIFY(!ReadStoredBool(*store_, kFullSizeSection, "Restore", true));
        store_->CloseKey();
        // The next opening shows the picture at the stored scale.
        window_->Finish(*picture_, false);
        OpenAndShow();
        QVERIFY(View()->ScaleModeOn());
        QCOMPARE(View()->Scale(), 1.5);
        QCOMPARE(window_->width(), 640);
    }

    void executeRunsModallyAndReportsOk() {
        QTimer::singleShot(0, window_.get(), [this] {
            Child<QLineEdit>("edtTitle")->setText(QStringLiteral("from the loop"));
            Child<QPushButton>("bbnOk")->click();
        });
        QVERIFY(window_->Execute(*picture_));
        QCOMPARE(picture_->Title, std::string("from the loop"));
        QTimer::singleShot(0, window_.get(), [this] { Child<QPushButton>("bbnCancel")->click(); });
        QVERIFY(!window_->Execute(*picture_));
    }

    void helpButtonAndF1OpenTheViewsTopic() {
        std::vector<int> topics;
        window_->SetHelpHandler([&](int context) { topics.push_back(context); });
        OpenAndShow();
        Child<QPushButton>("bbnHelp_Options")->click();
        QTest::keyClick(window_.get(), Qt::Key_F1);
        QCOMPARE(topics, (std::vector<int>{311, 311}));
    }

    void scaleQuestionDialogHasItsTexts() {
        TfrmScale dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Scale question"));
        QCOMPARE(dialog.size(), QSize(433, 112));
        QVERIFY(
            dialog.findChild<QLabel*>("lblScale")
                ->text()
                .contains(QStringLiteral("amout of physical memory on your machine , this could")));
        auto* tick = dialog.findChild<QCheckBox*>("cbxScale");
        QCOMPARE(tick->text(), QStringLiteral("Do not show again. Use selected option."));
        QCOMPARE(dialog.findChild<QPushButton*>("bbnUpdate")->text(), QStringLiteral("&Yes"));
        QCOMPARE(dialog.findChild<QPushButton*>("bbnCancel")->text(), QStringLiteral("&No"));
        tick->setChecked(true);
        dialog.findChild<QPushButton*>("bbnUpdate")->click();
        QVERIFY(dialog.Reply().Yes);
        QVERIFY(dialog.Reply().DoNotShowAgain);
        dialog.findChild<QPushButton*>("bbnCancel")->click();
        QVERIFY(!dialog.Reply().Yes);
    }
};

}  // namespace galerion::ui

QTEST_MAIN(galerion::ui::FullSizeWindowTest)
#include "full_size_window_test.moc"
