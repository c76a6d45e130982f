// The properties window of items of one folder (the context menu's プロパティ): name, type,
// location, size, and for a single item its dates, owner and permissions. The size of
// folders is counted on a worker thread while the window stays open and is shown as it
// grows; closing the window stops the count.
#pragma once

#include <QDialog>

#include <memory>
#include <string>
#include <vector>

class QLabel;
class QTimer;

namespace g3 {

class TreeSizeCount;

class TPropertiesWindow : public QDialog {
    Q_OBJECT
public:
    // paths: full paths, at least one. The window deletes itself when closed.
    explicit TPropertiesWindow(std::vector<std::string> paths, QWidget* parent = nullptr);
    ~TPropertiesWindow() override;

    QLabel* lblName;         // beside the icon, above the rows
    QLabel* lblType;
    QLabel* lblLocation;
    QLabel* lblSize;
    QLabel* lblContents;     // what the folders hold (hidden for a single file)
    QLabel* lblCreated;      // the dates, owner and permissions: a single item only
    QLabel* lblModified;
    QLabel* lblAccessed;
    QLabel* lblOwner;
    QLabel* lblPermissions;

    // True once the size is counted to the end.
    bool counted() const;

private:
    void showCount();

    std::vector<std::string> paths_;
    std::unique_ptr<TreeSizeCount> count_;
    QTimer* timer_;
};

// "1,536 バイト" below 1 KB, else three figures and the unit with the exact bytes:
// "1.50 KB (1,536 バイト)".
QString sizeText(std::uint64_t bytes);
// "rwxr-x--- (750)" of a mode's permission bits (set-id and sticky bits as ls shows them).
QString permissionText(unsigned mode);

} // namespace g3
