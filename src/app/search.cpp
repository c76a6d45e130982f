#include "app/search.h"

#include "app/StrSortGrid.h"
#include "app/Unit4.h"
#include "platform/numfmt.h"
#include "platform/fileops.h"
#include "platform/paths.h"
#include "ui/msgbox.h"
#include "ui/programicon.h"

#include <QAction>
#include <QEvent>
#include <QPointer>
#include <QScopeGuard>
#include <QWidget>

namespace g3 {

namespace {

const InputRequest kAskMask{
    "現在の洞窟以下の家を探します",
    "探したい家の表札名を入力してね。\r\n"
    "例:abc.txt  xyz.*  a??c  *.jpgのようにワイルドカードも使えるよ",
    "検索"};
constexpr const char* kEmptyMask =
    "検索ワードが空欄では家を探せません\n\r探したい家の表札名を何か入力してね";
constexpr int kColumnWidths[] = {50, 300, 300, 100};

} // namespace

SearchController::SearchController(WindowContext& window, ToolPlaces& places, QObject* parent)
    : FeatureController(window, parent), scanner_(makeTreeScanner()) {
    scanner_->MessagePump = window.services().pump;
    scanner_->OnFileFound = [this](TTreeScanner& s) { TreeScanner1FileFound(s); };
    kensak_ = makeTool(places, ToolSlot::Kensak, [this] { tbtnKensakClick(); });
    mainWindow_ = window.dialogOwner();
    if (mainWindow_) mainWindow_->installEventFilter(this);
}

// A search still on the stack is stopped and its scanner freed when it returns.
SearchController::~SearchController() = default;

void SearchController::tbtnKensakClick() {
    if (scanner_->SearchInProgress()) {
        scanner_->ContinueSearch = false;
        kensak_->setIcon(programIcon("search"));
        return;
    }
    // A walk inside the click would hold a copy run below it on the stack until it ends.
    if (runActive_) return;
    std::string mask;
    if (!askMask(mask)) return;
    scanner_->setInitialDirectory(window_.CurDir());
    kensak_->setIcon(programIcon("stop"));
    hits_ = 0;
    startResults(mask);
    TForm4& form = resultsWindow();
    form.show();
    form.raise();
    form.activateWindow();
    const QPointer<SearchController> alive(this);
    const auto finish = qScopeGuard([this, alive] {
        if (alive) endSearch();
    });
    scanner_->Search();
}

// The prompt again after an empty pattern; false when the dialog was closed otherwise.
bool SearchController::askMask(std::string& mask) {
    for (;;) {
        if (!window_.askInput(kAskMask, mask)) return false;
        scanner_->setFileMask(mask);
        if (!scanner_->FileMask().empty()) return true;
        window_.services().boxes.messageDlg(QString::fromUtf8(kEmptyMask), MsgKind::Information,
                                            mbOK);
    }
}

TForm4& SearchController::resultsWindow() {
    if (!form4_) {
        form4_ = std::make_unique<TForm4>();
        form4_->OpenFolder = [this](const std::string& folder) {
            if (window_.navigateTo(folder)) window_.raiseWindow();
        };
    }
    return *form4_;
}

void SearchController::startResults(const std::string& mask) {
    TForm4& form = resultsWindow();
    TStrSortGrid* grid = form.StrSortGrid1;
    // The rows go: Edit1 keeps the cave it shows (no row is selected as they go).
    grid->setCurrentIndex({});
    grid->clearSelection();
    grid->setRowCount(2);
    grid->setRow(1, {"", "", kSearching, ""});
    grid->clearSortMark();
    for (int c = 0; c < 4; ++c) grid->setColWidths(c, kColumnWidths[c]);
    form.setWindowTitle(QString::fromStdString("Grottan3 家の検索結果(" + mask + ")"));
}

void SearchController::TreeScanner1FileFound(TTreeScanner& Sender) {
    const int n = ++hits_;
    TStrSortGrid* grid = form4_->StrSortGrid1;
    grid->setRowCount(n + 1);
    const std::string& path = Sender.FileFound();
    grid->setRow(n, {alignRight(std::to_string(n), 9), parentFolder(path), namePart(path),
                     alignRight(formatGroupedU32(Sender.FileSize()), 20)});
}

void SearchController::endSearch() {
    TStrSortGrid* grid = form4_->StrSortGrid1;
    if (hits_ == 0) grid->setRow(1, {"", "", kNoneFound, ""});
    grid->flushRows();
    kensak_->setIcon(programIcon("search"));
    updateEnabled();
}

void SearchController::onRunState(bool running) {
    runActive_ = running;
    updateEnabled();
}

bool SearchController::worksBelow(const std::string& folder) const {
    if (!scanner_->SearchInProgress()) return false;
    const std::string& start = scanner_->InitialDirectory();
    return isSameFolderOrInside(start, folder) || isSameFolderOrInside(folder, start);
}

void SearchController::updateEnabled() {
    kensak_->setEnabled(!runActive_ || scanner_->SearchInProgress());
}

// The main window closing ends the program: a search still walking would keep it running
// without a window until the walk is through.
bool SearchController::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::Close && watched == mainWindow_ && scanner_->SearchInProgress())
        scanner_->ContinueSearch = false;
    return FeatureController::eventFilter(watched, e);
}

} // namespace g3
