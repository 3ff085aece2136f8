// The Options page: presets, the enabling rule, the data-source rules and the group layout.
#include "ui/options_page.h"

#include "core/settings_persistence.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

using namespace galerion;
using namespace galerion::ui;

class OptionsPageTest : public QObject {
    Q_OBJECT
private slots:
    void mediumGroupEnabling() {
        TSettings s;
        s.MediumSize = kSizePreset1;
        TOptionsPage page(s);
        QVERIFY(page.rbn800->isChecked());
        QVERIFY(!page.edtMediumWidth->isEnabled());
        page.cbxMedium->click();
        QVERIFY(!s.ProcessMedium);
        for (QWidget* w : std::initializer_list<QWidget*>{
                 page.rbn800, page.rbn1024, page.rbnMediumCustom, page.edtMediumWidth,
                 page.edtMediumHeight, page.edtMediumFolder, page.edtMediumPrefix,
                 page.edtMCompressionQuality, page.lblFolderMedium, page.lblMediumWidth})
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
        QVERIFY(page.cbxMedium->isEnabled());
        QVERIFY(page.gbxMedium->isEnabled());
        QVERIFY(page.rbn80->isEnabled());  // the other groups are untouched
        page.cbxMedium->click();
        QVERIFY(page.rbn800->isEnabled() && page.edtMediumFolder->isEnabled());
        QVERIFY(!page.edtMediumWidth->isEnabled());
        page.rbnMediumCustom->click();
        QVERIFY(page.edtMediumWidth->isEnabled() && page.edtMediumHeight->isEnabled());
        page.cbxLarge->setChecked(false);
        QVERIFY(!page.edtLargeFolder->isEnabled() && !page.lblLSize->isEnabled());
        page.cbxLarge->setChecked(true);
        QVERIFY(page.edtLargeFolder->isEnabled() && page.edtLCompressionQuality->isEnabled());
    }

    void presetsWriteTheirNumbers() {
        TSettings s;
        TOptionsPage page(s);
        page.rbn1024->click();
        QCOMPARE(page.edtMediumWidth->text(), QStringLiteral("1024"));
        QCOMPARE(page.edtMediumHeight->text(), QStringLiteral("1024"));
        QCOMPARE(s.MediumWidth, std::string("1024"));
        QCOMPARE(s.MediumSize, int(kSizePreset2));
        QVERIFY(!page.edtMediumWidth->isEnabled());
        page.rbnMediumCustom->click();
        QCOMPARE(page.edtMediumWidth->text(), QStringLiteral("1024"));
        QVERIFY(page.edtMediumWidth->isEnabled());
        QTest::keyClicks(page.edtMediumWidth, QStringLiteral("x"));
        QCOMPARE(s.MediumWidth, std::string("1024x"));  // free text, checked where it is used
        page.rbn150->click();
        QCOMPARE(s.ThumbWidth, std::string("200"));
        QCOMPARE(s.ThumbHeight, std::string("150"));
        page.rbn80->click();
        QCOMPARE(page.edtThumbWidth->text(), QStringLiteral("150"));
        QCOMPARE(page.edtThumbHeight->text(), QStringLiteral("100"));
        QCOMPARE(page.rbn80->text(), QStringLiteral("150x100"));
        QCOMPARE(page.rbn800->text(), QStringLiteral("800x768"));
    }

    void loadShowsTheRecord() {
        TSettings s;
        s.ProcessThumb = false;
        s.ThumbSize = kSizeCustom;
        s.ThumbWidth = "320";
        s.MediumSize = kSizeNone;
        s.MediumWidth = "640";
        s.JpegCompressionThumb = 75;
        s.ShowWelcome = false;
        s.ShowSplash = true;
        TOptionsPage page(s);
        QVERIFY(!page.cbxThumbnail->isChecked());
        QVERIFY(page.rbnThumbCustom->isChecked());
        QVERIFY(!page.edtThumbWidth->isEnabled());  // group off
        QCOMPARE(page.edtThumbWidth->text(), QStringLiteral("320"));
        QVERIFY(!page.rbn800->isChecked() && !page.rbn1024->isChecked() &&
                !page.rbnMediumCustom->isChecked());
        QVERIFY(!page.edtMediumWidth->isEnabled());
        QCOMPARE(page.edtMediumWidth->text(), QStringLiteral("640"));
        QCOMPARE(page.edtTCompressionQuality->value(), 75);
        QCOMPARE(page.edtTCompressionQuality->maximum(), 100);
        QCOMPARE(page.edtTCompressionQuality->minimum(), 0);
        QVERIFY(!page.cbxShow->isChecked());
        QVERIFY(page.cbxSplash->isChecked());
        page.edtLCompressionQuality->setValue(55);
        QCOMPARE(s.JpegCompressionLarge, 55.0);
        page.cbxShow->click();
        QVERIFY(s.ShowWelcome);
    }

    void dataSourceDisplay_data() {
        QTest::addColumn<QString>("connection");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("path") << "Provider=SQLite;Data Source=/srv/site.db"
                              << "/srv/site.db" << true;
        QTest::newRow("spaced path") << "Provider=SQLite;Data Source = /srv/a.db;Mode=rw"
                                     << "/srv/a.db" << true;
        QTest::newRow("no data source") << "Provider=PostgreSQL;host=db;dbname=site"
                                        << "Provider=PostgreSQL;host=db;dbname=site" << false;
        QTest::newRow("empty before ;") << "Provider=SQLite;Data Source=;Mode=rw"
                                        << "Provider=SQLite;Data Source=;Mode=rw" << false;
        QTest::newRow("empty at end") << "Provider=SQLite;Data Source="
                                      << "Provider=SQLite;Data Source=" << false;
    }
    // A connection string naming no file is shown whole, greyed, and never written into itself.
    void dataSourceDisplay() {
        QFETCH(QString, connection);
        QFETCH(QString, shown);
        QFETCH(bool, enabled);
        TSettings s;
        s.DB = connection.toStdString();
        TOptionsPage page(s);
        QCOMPARE(page.edtDBFile->text(), shown);
        QCOMPARE(page.edtDBFile->isEnabled(), enabled);
        QCOMPARE(page.bbnDBFile->isEnabled(), enabled);
        const QColor base = page.edtDBFile->palette().color(QPalette::Base);
        QCOMPARE(base, page.palette().color(enabled ? QPalette::Base : QPalette::Button));
        if (!enabled) QCOMPARE(QString::fromStdString(s.DB), connection);
        page.RefreshDataSource();
        page.RefreshDataSource();
        QCOMPARE(page.edtDBFile->text(), shown);
        if (!enabled) QCOMPARE(QString::fromStdString(s.DB), connection);
    }

    void typingAndBrowsingChangeOnlyTheDataSource() {
        TSettings s;
        s.DB = "Provider=SQLite;Data Source=/srv/site.db;Cache=shared";
        TOptionsPage page(s);
        page.edtDBFile->clear();
        QTest::keyClicks(page.edtDBFile, QStringLiteral("/x.db"));
        QCOMPARE(s.DB, std::string("Provider=SQLite;Data Source=/x.db;Cache=shared"));

        QString asked;
        page.SetFileChooser([&](const QString& folder) -> std::optional<QString> {
            asked = folder;
            return QStringLiteral("/home/u/web/galerion.db");
        });
        page.edtDBFile->setText(QStringLiteral("/srv/data/site.db"));
        page.bbnDBFile->click();
        QCOMPARE(asked, QStringLiteral("/srv/data"));
        QCOMPARE(page.edtDBFile->text(), QStringLiteral("/home/u/web/galerion.db"));
        QCOMPARE(s.DB,
                 std::string("Provider=SQLite;Data Source=/home/u/web/galerion.db;Cache=shared"));

        page.SetFileChooser([](const QString&) -> std::optional<QString> { return std::nullopt; });
        page.bbnDBFile->click();
        QCOMPARE(s.DB,
                 std::string("Provider=SQLite;Data Source=/home/u/web/galerion.db;Cache=shared"));
        QCOMPARE(page.bbnDBFile->toolTip(), QStringLiteral("Select data source"));
    }

    void dataSourceChooser() {
        QFileDialog dialog;
        ConfigureDataSourceDialog(dialog, QStringLiteral("/tmp"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Select data source"));
        QCOMPARE(dialog.nameFilters(),
                 (QStringList{QStringLiteral("SQLite databases (*.db *.sqlite *.sqlite3)"),
                              QStringLiteral("Any files (*)")}));
        QCOMPARE(dialog.defaultSuffix(), QStringLiteral("db"));
        QCOMPARE(dialog.directory().absolutePath(), QStringLiteral("/tmp"));
        QCOMPARE(dialog.acceptMode(), QFileDialog::AcceptOpen);
    }

    void groupLayoutRule_data() {
        QTest::addColumn<int>("pageWidth");
        QTest::addColumn<int>("groupWidth");
        QTest::newRow("design") << 542 << 172;
        QTest::newRow("wide") << 1000 << 325;
        QTest::newRow("minimum") << 534 << 170;
    }
    void groupLayoutRule() {
        QFETCH(int, pageWidth);
        QFETCH(int, groupWidth);
        TSettings s;
        TOptionsPage page(s);
        page.resize(pageWidth, 500);
        page.LayoutGroups();
        QCOMPARE(page.gbxThumb->x(), 4);
        QCOMPARE(page.gbxThumb->width(), groupWidth);
        QCOMPARE(page.gbxMedium->x(), 4 + groupWidth + 8);
        QCOMPARE(page.gbxMedium->width(), groupWidth);
        QCOMPARE(page.gbxLarge->x(), 4 + 2 * (groupWidth + 8));
        QCOMPARE(page.gbxLarge->width(), groupWidth);
    }

    void captionsAndHints() {
        TSettings s;
        TOptionsPage page(s);
        QCOMPARE(page.bbnSelectAlbums_Options->text(), QStringLiteral("Select albums >"));
        QCOMPARE(page.bbnSelectAlbums_Options->toolTip(), QStringLiteral("Go to next step"));
        QVERIFY(page.bbnSelectAlbums_Options->isDefault());
        QCOMPARE(page.bbnAdvanced_Options->text(), QStringLiteral("Advanced options..."));
        QCOMPARE(page.bbnAdvanced_Options->toolTip(), QStringLiteral("Open advanced options form"));
        QCOMPARE(page.cbxShow->text(),
                 QStringLiteral("Do not show this screen next time program stars"));
        QCOMPARE(page.cbxSplash->text(),
                 QStringLiteral("Do not show splash screen next time program stars"));
        QCOMPARE(page.lblLSize->text(),
                 QStringLiteral("Image will be the same size as the original."));
        QVERIFY(page.lblWelcome->font().bold());
    }
};

QTEST_MAIN(OptionsPageTest)
#include "options_page_test.moc"
