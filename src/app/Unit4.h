// TForm4: the search results window. A grid of hits (No, cave, house, size) that sorts by
// a pressed header, and a line above it with the selected hit's cave and a button that
// shows that cave in the main window. Not modal; made once, it keeps its rows from one
// search to the next.
#pragma once

#include <QWidget>

#include <functional>
#include <string>

class QLineEdit;
class QToolButton;

namespace g3 {

class TStrSortGrid;

class TForm4 : public QWidget {
    Q_OBJECT
public:
    // FormCreate: 800 x 600, centred, the header row "No,洞窟,家,大きさ".
    explicit TForm4(QWidget* parent = nullptr);

    QWidget* Panel1;
    QToolButton* BitBtn1;
    QLineEdit* Edit1;
    TStrSortGrid* StrSortGrid1;

    // Opens a folder in the main window: handed the exact bytes of an existing folder.
    std::function<void(const std::string& folder)> OpenFolder;

    // Edit1 := the cave (column 1) of the grid row ARow, shown readable; its bytes are
    // kept for BitBtn1.
    void StrSortGrid1SelectCell(int ACol, int ARow);
    // The folder Edit1 names, when it exists, goes to OpenFolder; anything else does
    // nothing. Enter on the grid and a double click on a row do the same.
    void BitBtn1Click();
    // The folder Edit1 names: the selected row's bytes where the user left them as shown.
    std::string edit1Folder() const;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    std::string selectedFolder_; // bytes of the cave last put into Edit1
};

} // namespace g3
