// "Advanced options": filled from the settings, read back, "Go!" and the help context.
#include "ui/advanced_dialog.h"
#include "ui_test_support.h"

#include "core/settings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace galerion;
using namespace galerion::ui;
using namespace galerion::ui::test;

class AdvancedDialogTest : public QObject {
    Q_OBJECT
private slots:
    void fillsEveryControlAndReadsItBack() {
        TScriptedMessages messages;
        TSettings s;
        s.DB = "Provider=SQLite;Data Source=/tmp/a.db";
        s.RecreateTemp = true;
        s.DeleteTemp = true;
        s.RecreateThumb = false;
        s.OutputFilenames = 2;
        s.UpdateMode = 3;
        s.ResizeMode = 0;
        s.Upscale = true;
        s.Scale = false;
        s.ExtensionJpg = false;
        s.LogLevelOthers = true;
        s.UseExifDate = false;
        s.AltLanguage = "de";
        s.KeywordCategories = 2;
        s.CarryCopyright = false;
        TfrmAdvanced dialog(messages, {});
        dialog.Fill(s);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Advanced options"));
        QCOMPARE(dialog.ConnectionString(),
                 QStringLiteral("Provider=SQLite;Data Source=/tmp/a.db"));
        QVERIFY(dialog.cbxRecreateTemp->isChecked());
        QVERIFY(dialog.cbxDeleteTemp->isChecked());
        QVERIFY(!dialog.cbxRecreateThumb->isChecked());
        QCOMPARE(dialog.gbxFilenames->checkedId(), 2);
        QCOMPARE(dialog.gbxUpdateMode->checkedId(), 3);
        QCOMPARE(dialog.gbxResizeMethod->checkedId(), 0);
        QCOMPARE(dialog.clbxExtension->item(0)->checkState(), Qt::Unchecked);
        QCOMPARE(dialog.clbxExtension->item(1)->checkState(), Qt::Checked);
        QVERIFY(dialog.cbxOthers->isChecked());
        QVERIFY(dialog.cbxExifOrientation->isChecked());
        QVERIFY(!dialog.cbxExifDate->isChecked());
        QVERIFY(dialog.cbxFileTexts->isChecked());
        QCOMPARE(dialog.edtAltLanguage->text(), QStringLiteral("de"));
        QCOMPARE(dialog.gbxKeywords->checkedId(), 2);
        QVERIFY(!dialog.cbxCarryCopyright->isChecked());
        QVERIFY(dialog.bbnOK->isDefault());
        QCOMPARE(dialog.bbnClose->text(), QStringLiteral("Cancel"));
        QCOMPARE(dialog.bbnCreateTables->toolTip(),
                 QStringLiteral("Create necessary tables in database"));

        TSettings read = s;
        read.UpdateMode = 0;
        dialog.ReadChoices(read);
        QVERIFY(read == s);

        dialog.gbxUpdateMode->button(1)->click();
        dialog.cbxErrors->setChecked(false);
        dialog.clbxExtension->item(1)->setCheckState(Qt::Unchecked);
        dialog.ReadChoices(read);
        QCOMPARE(read.UpdateMode, 1);
        QVERIFY(!read.LogLevelErrors);
        QVERIFY(!read.ExtensionJpeg);
    }

    // A value that no entry shows (an edited settings file) stays as it was.
    void valueOutsideTheGroupIsKept() {
        TScriptedMessages messages;
        TSettings s;
        s.UpdateMode = 7;
        TfrmAdvanced dialog(messages, {});
        dialog.Fill(s);
        QCOMPARE(dialog.gbxUpdateMode->checkedId(), -1);
        dialog.ReadChoices(s);
        QCOMPARE(s.UpdateMode, 7);
    }

    // "Go!" runs the script on the text of the box at that moment, before any OK.
    void goCreatesTablesOnTheEditedConnection() {
        TPrivateHome home;
        TScriptedMessages messages;
        TSettings s;
        s.DB = "Provider=SQLite;Data Source=" + home / "first.db";
        TfrmAdvanced dialog(messages, {});
        dialog.Fill(s);
        const std::string edited = "Provider=SQLite;Data Source=" + home / "edited.db";
        dialog.edtConnectedString->setText(QString::fromStdString(edited));
        dialog.bbnCreateTables->click();
        QVERIFY(messages.errors.empty());
        QCOMPARE(messages.infos.size(), size_t{1});
        QCOMPARE(ScalarInt(edited, "SELECT COUNT(*) FROM album"), 0);
        QVERIFY(!QFile::exists(QString::fromStdString(home / "first.db")));
        dialog.reject();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

    void goReportsAFailure() {
        TScriptedMessages messages;
        TSettings s;
        s.DB = "Provider=SQLite;Data Source=/nonexistent-folder/x/site.db";
        TfrmAdvanced dialog(messages, {});
        dialog.Fill(s);
        dialog.bbnCreateTables->click();
        QCOMPARE(messages.errors.size() + messages.warnings.size(), size_t{1});
    }

    void helpButtonAndF1ShowTopic309() {
        TScriptedMessages messages;
        std::vector<int> shown;
        TfrmAdvanced dialog(messages, [&](int context) { shown.push_back(context); });
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.bbnHelp->click();
        dialog.activateWindow();
        dialog.cbxScale->setFocus();
        QTest::keyClick(dialog.cbxScale, Qt::Key_F1);
        QCOMPARE(shown, (std::vector<int>{309, 309}));
        QVERIFY(dialog.bbnHelp->toolTip().isEmpty());
    }

    void escapeCancels() {
        TScriptedMessages messages;
        TfrmAdvanced dialog(messages, {});
        dialog.show();
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }
};

QTEST_MAIN(AdvancedDialogTest)
#include "advanced_dialog_test.moc"
