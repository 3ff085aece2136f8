#pragma once
// The dialog that edits the four texts of one photo category, for a new one or the selected
// one. OK writes the texts into the item; Cancel leaves it as it was.
#include <QDialog>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace galerion {
class TMessages;
struct TCategoryItem;
}  // namespace galerion

namespace galerion::ui {

class TfrmAddEditCategory : public QDialog {
    Q_OBJECT
public:
    TfrmAddEditCategory(TMessages& messages, TCategoryItem* item, QWidget* parent = nullptr);

    // OK is refused while the title, trimmed of blanks and control characters, is empty.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    TMessages& messages_;
    TCategoryItem* item_;
    QLineEdit* edtName_;
    QPlainTextEdit* memDescription_;
    QLineEdit* edtNameR_;
    QPlainTextEdit* memDescriptionR_;
    QPushButton* bbnOk_;
    QPushButton* bbnCancel_;
};

// Whether the title counts as empty: nothing left after trimming blanks and control characters.
bool CategoryTitleIsEmpty(const QString& title);

}  // namespace galerion::ui
