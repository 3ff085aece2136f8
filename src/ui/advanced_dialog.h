#pragma once
// "Advanced options": the settings the wizard pages don't show, and "Go!" for the tables.
#include "core/settings.h"

#include <QDialog>

#include <functional>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace galerion {
class TMessages;
}

namespace galerion::ui {

class TfrmAdvanced : public QDialog {
    Q_OBJECT
public:
    // "Go!" reports through `messages`; Help and F1 call `showHelp` with the dialog's context.
    TfrmAdvanced(TMessages& messages, std::function<void(int)> showHelp, QWidget* parent = nullptr);

    // Every control from the settings it shows.
    void Fill(const TSettings& settings);
    QString ConnectionString() const;
    // The controls' values into the settings the dialog edits, the connection string excepted
    // (the main window takes that over first, with the Options page).
    void ReadChoices(TSettings& settings) const;

    QLineEdit* edtConnectedString;
    QPushButton* bbnCreateTables;
    QCheckBox* cbxRecreateTemp;
    QCheckBox* cbxDeleteTemp;
    QCheckBox* cbxRecreateThumb;
    QCheckBox* cbxRecreateMedium;
    QCheckBox* cbxRecreateLarge;
    QCheckBox* cbxScale;
    QCheckBox* cbxUpscale;
    QListWidget* clbxExtension;
    QButtonGroup* gbxFilenames;
    QButtonGroup* gbxUpdateMode;
    QButtonGroup* gbxResizeMethod;
    // From the photo files
    QCheckBox* cbxExifOrientation;
    QCheckBox* cbxExifDate;
    QCheckBox* cbxFileTexts;
    QLineEdit* edtAltLanguage;
    QButtonGroup* gbxKeywords;
    QCheckBox* cbxCarryCopyright;
    QCheckBox* cbxErrors;
    QCheckBox* cbxWarnings;
    QCheckBox* cbxOthers;
    QButtonGroup* gbxColourProfiles;  // the ColourProfiles setting
    QPushButton* bbnHelp;
    QPushButton* bbnOK;
    QPushButton* bbnClose;

public slots:
    void CreateTables();

private:
    QGroupBox* PhotoFilesGroup();
    QGroupBox* RadioGroup(const char* title, std::initializer_list<const char*> items,
                          QButtonGroup*& group);

    TMessages& messages_;
    std::function<void(int)> showHelp_;
};

}  // namespace galerion::ui
