// TForm3: the same-name question of the asking copy and move runs. Created once and reused
// for the whole program; modal, kept on top, centred on the screen.
//
// The answer state (SameNameAnswer, SameNameForAll) belongs to whoever runs the copies:
// bindAnswerState points the dialog at the worker's fields, so the dialog's handlers write
// them directly. Unbound, the dialog keeps the state itself.
//
// A CopyHost shows it like this:
//   prepareSameName()  -> form3.prepareRun();
//   askSameName(...)   -> return form3.domeiKakunin(...);
#pragma once

#include <QDialog>

#include <cstdint>
#include <string>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace g3 {

class TForm3 : public QDialog {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);

    QLabel* Label1; // the question
    QLabel* Label2; // "洞窟名="
    QLineEdit* Edit1; // destination folder
    QLabel* Label7; // "家の名="
    QLineEdit* Edit2; // destination name
    QLabel* Image1; // the destination's icon
    QLabel* Label4; // source time
    QLabel* Label3; // source size
    QLabel* Label6; // destination time
    QLabel* Label5; // destination size
    QGroupBox* RadioGroup1;
    QRadioButton* radioItem(int index) const;
    QPushButton* BitBtn1; // "続ける"
    QPushButton* BitBtn2; // "中止する"

    void bindAnswerState(int& answer, bool& forAll);
    int SameNameAnswer() const { return *answer_; }
    bool SameNameForAll() const { return *forAll_; }

    // The index of the selected radio item (0-5), and selecting one.
    int ItemIndex() const;
    void setItemIndex(int index);

    // Before each run: SameNameForAll false, item 0 selected. Between the showings of one
    // run the selection stays what the user chose last.
    void prepareRun();

    // Fills the dialog for the destination dst (label is the operation word, the times are
    // already formatted), shows it modally and returns the answer: 0-5 the chosen item,
    // 6 for the abort button or the close box. The answer is also in SameNameAnswer.
    int domeiKakunin(const std::string& label, const std::string& dst, std::int64_t srcSize,
                     std::int64_t dstSize, const std::string& srcTime,
                     const std::string& dstTime);

    void FormShow();
    void BitBtn1Click();
    void BitBtn2Click();

protected:
    void showEvent(QShowEvent* e) override;

private:
    QButtonGroup* items_;
    int ownAnswer_ = 0;
    bool ownForAll_ = false;
    int* answer_ = &ownAnswer_;
    bool* forAll_ = &ownForAll_;
};

// Draws the icon associated with path into img at its natural size (img takes the icon's
// size) and sets the hints of the two edits to path's folder and name. With no icon the
// picture stays empty.
void fileIconSet(const std::string& path, QLabel* img, QLineEdit* folderEdit,
                 QLineEdit* nameEdit);

} // namespace g3
