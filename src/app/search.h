// The search: the tool bar's 家を探す (tbtnKensak) asks for a name pattern, walks the tree
// below the current folder with TreeScanner1 and lists every hit in the results window
// TForm4; pressed again while the walk runs, it stops it. The walk runs inside the click
// and lets the window's events through before each folder (the window's pump), so that
// second press, the results window and the rest of the window stay usable meanwhile.
//
// Row 1 of the results shows kSearching in the house column until the first hit, and
// kNoneFound when the search ended without one. A search is not started beside a copy or
// move run (the button is off then, except to stop a search already running); closing the
// main window stops a running search.
#pragma once

#include "app/feature.h"
#include "fscomp/TreeScan.h"

#include <memory>
#include <string>

namespace g3 {

class TForm4;

class SearchController final : public FeatureController {
    Q_OBJECT
public:
    static constexpr const char* kSearching = "家を探しています…";
    static constexpr const char* kNoneFound = "見つかった家はありません";

    SearchController(WindowContext& window, ToolPlaces& places, QObject* parent);
    ~SearchController() override;

    // Starts a search, or stops the running one (then it only clears ContinueSearch).
    void tbtnKensakClick();
    // One hit: a row of the results (number, cave, house, size).
    void TreeScanner1FileFound(TTreeScanner& Sender);

    TTreeScanner& TreeScanner1() const { return *scanner_; }
    // The results window, made at the first search (null before).
    TForm4* Form4() const { return form4_.get(); }
    int hitCount() const { return hits_; }

    void onRunState(bool running) override;
    // A search walks its starting folder and everything below it.
    bool worksBelow(const std::string& folder) const override;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    bool askMask(std::string& mask);
    TForm4& resultsWindow();
    void startResults(const std::string& mask);
    void endSearch();
    void updateEnabled();

    TTreeScannerPtr scanner_;
    std::unique_ptr<TForm4> form4_;
    QAction* kensak_;
    QObject* mainWindow_; // whose closing stops a search
    int hits_ = 0;
    bool runActive_ = false;
};

} // namespace g3
