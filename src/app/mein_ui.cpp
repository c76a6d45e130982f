// Construction of the main window's controls, with the names the rest of the program and
// the tests look them up by.
#include "app/mein.h"

#include "app/splitter.h"
#include "app/tabstrip.h"
#include "ui/programicon.h"

#include <QAbstractItemView>
#include <QActionGroup>
#include <QComboBox>
#include <QHBoxLayout>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace g3 {

namespace {

// The history combo: its dropped list is 800 pixels wide whatever the combo's width.
class THistoryCombo : public QComboBox {
public:
    using QComboBox::QComboBox;
    void showPopup() override {
        view()->setMinimumWidth(800); // ComboBox1DropDown
        QComboBox::showPopup();
    }
};

QWidget* panel(QWidget* parent, const char* name) {
    auto* w = new QWidget(parent);
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

QVBoxLayout* fill(QWidget* w) {
    auto* l = new QVBoxLayout(w);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(0);
    return l;
}

} // namespace

// Every place of the tool bar has its button from the start, disabled until a command
// takes it (placeTool).
QToolButton* TForm1::addToolButton(const ToolSpec& spec) {
    auto* b = new QToolButton(toolBar_);
    b->setObjectName(QString::fromLatin1(spec.name));
    b->setToolTip(QString::fromUtf8(spec.hint));
    b->setAutoRaise(true);
    b->setFixedSize(25, 25);
    b->setIcon(programIcon(spec.picture));
    b->setEnabled(false);
    toolBar_->addWidget(b);
    buttons_.push_back(b);
    return b;
}

QToolButton* TForm1::toolButton(const QString& name) const {
    for (QToolButton* b : buttons_)
        if (b->objectName() == name) return b;
    return nullptr;
}

QToolButton* TForm1::buttonOf(ToolSlot slot) const { return buttons_[static_cast<std::size_t>(slot)]; }

QToolButton* TForm1::placeTool(ToolSlot slot, QAction* action, QMenu* menu) {
    QToolButton* b = buttonOf(slot);
    b->setDefaultAction(action);
    // A drop-down button opens its menu from either part.
    if (menu) {
        b->setMenu(menu);
        b->setPopupMode(QToolButton::MenuButtonPopup);
        b->setFixedSize(37, 25);
        connect(b, &QToolButton::clicked, b, &QToolButton::showMenu);
    }
    return b;
}

QAction* TForm1::placeOwnTool(ToolSlot slot, void (TForm1::*handler)(), QMenu* menu) {
    const ToolSpec& spec = toolSpec(slot);
    auto* a = new QAction(programIcon(spec.picture), QString::fromUtf8(spec.hint), this);
    a->setObjectName(QString::fromLatin1(spec.name));
    a->setToolTip(QString::fromUtf8(spec.hint));
    if (handler)
        connect(a, &QAction::triggered, this,
                [this, handler] { services_.boxes.runGuarded([this, handler] { (this->*handler)(); }); });
    placeTool(slot, a, menu);
    return a;
}

void TForm1::buildToolBar() {
    toolBar_ = new QToolBar(this);
    toolBar_->setObjectName(QStringLiteral("ToolBar1"));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setIconSize(QSize(18, 18));
    toolBar_->setContextMenuPolicy(Qt::CustomContextMenu);
    addToolBar(Qt::TopToolBarArea, toolBar_);
    for (const ToolSpec& spec : toolSpecs()) {
        if (spec.separatorBefore) toolBar_->addSeparator();
        addToolButton(spec);
    }
    saisin_ = placeOwnTool(ToolSlot::Saisin, &TForm1::tbtnSaisinClick);
    saisin_->setCheckable(true);
    placeOwnTool(ToolSlot::ZenSentak, &TForm1::tbtnZenSentakClick);
    placeOwnTool(ToolSlot::TateYoko, &TForm1::tbtnTateYokoClick);
    vajHel_ = placeOwnTool(ToolSlot::VajHel, &TForm1::tbtnVajHelClick);
    vajHel_->setEnabled(false); // until the about window exists
    connect(toolBar_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { sysMenu_->popup(toolBar_->mapToGlobal(p)); });
}

void TForm1::buildMenus() {
    popStyle_ = new QMenu(this);
    popStyle_->setObjectName(QStringLiteral("popStyle"));
    styleGroup_ = new QActionGroup(this);
    static const char* const styleItems[4][2] = {{"pm01", "大きいアイコン(&G)"},
                                                 {"pm02", "小さいアイコン(&M)"},
                                                 {"pm03", "一覧(&L)"},
                                                 {"pm04", "詳細(&D)"}};
    for (int i = 0; i < 4; ++i) {
        QAction* a = popStyle_->addAction(QString::fromUtf8(styleItems[i][1]));
        a->setObjectName(QString::fromLatin1(styleItems[i][0]));
        a->setCheckable(true);
        styleGroup_->addAction(a);
        connect(a, &QAction::triggered, this, [this, i] { setListStyle(i + 1); });
        pmStyle_[i] = a;
    }
    connect(popStyle_, &QMenu::aboutToShow, this, &TForm1::popStylePopup);

    pmenuSort_ = new QMenu(this);
    pmenuSort_->setObjectName(QStringLiteral("pmenuSort"));
    static const char* const sortItems[4][2] = {{"pmSortName", "表札でソート"},
                                                {"pmSortSize", "大きさでソート"},
                                                {"pmSortSyurui", "家の種類でソート"},
                                                {"pmSortNitiji", "改築日時でソート"}};
    for (int i = 0; i < 4; ++i) {
        QAction* a = pmenuSort_->addAction(QString::fromUtf8(sortItems[i][1]));
        a->setObjectName(QString::fromLatin1(sortItems[i][0]));
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, i] { sortMenuClick(i); });
        pmSort_[i] = a;
    }

    placeOwnTool(ToolSlot::Style, nullptr, popStyle_);
    placeOwnTool(ToolSlot::Sort, nullptr, pmenuSort_);

    sysMenu_ = new QMenu(this);
    sysMenu_->setObjectName(QStringLiteral("SystemMenu"));
    sysMenu_->addSeparator();
    QAction* more = sysMenu_->addAction(QString::fromUtf8("もう一つGrottan3を起動(&F)"));
    more->setObjectName(QStringLiteral("smMouHitotu"));
    connect(more, &QAction::triggered, this, &TForm1::startSecondInstance);
    auto* altSpace = new QAction(this);
    altSpace->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Space));
    altSpace->setShortcutContext(Qt::WindowShortcut);
    connect(altSpace, &QAction::triggered, this,
            [this] { sysMenu_->popup(mapToGlobal(QPoint(0, 0))); });
    addAction(altSpace);
}

void TForm1::buildPanels() {
    area_ = panel(this, "paneArea");
    area_->installEventFilter(this);

    paneTree_ = panel(area_, "paneTree");
    auto* treeLayout = fill(paneTree_);
    paneTreeTop_ = panel(paneTree_, "paneTreeTop");
    paneTreeTop_->setFixedHeight(25);
    paneTreeTop_->installEventFilter(this);
    combo_ = new THistoryCombo(paneTreeTop_);
    combo_->setObjectName(QStringLiteral("ComboBox1"));
    combo_->setEditable(false);
    combo_->setMaxVisibleItems(10);
    combo_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo_->setMinimumContentsLength(1);
    paneFolder_ = panel(paneTree_, "paneFolder");
    fill(paneFolder_);
    treeLayout->addWidget(paneTreeTop_);
    treeLayout->addWidget(paneFolder_, 1);

    splitter_ = new TdfsSplitter(area_);
    splitter_->setObjectName(QStringLiteral("dfsSplitter1"));
    splitter_->setControl(paneTree_);
    connect(splitter_, &TdfsSplitter::sizeRequested, this, &TForm1::setTreeSize);

    paneListQuick_ = panel(area_, "paneListQuick");
    paneList_ = panel(paneListQuick_, "paneList");
    fill(paneListQuick_)->addWidget(paneList_);
    fill(paneList_);
}

void TForm1::buildBottom() {
    paneBotom_ = panel(this, "PaneBotom");
    auto* row = new QHBoxLayout(paneBotom_);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    QWidget* left = panel(paneBotom_, "PaneBotomLeft");
    left->setFixedWidth(45);
    auto speed = [left](const char* name, const char* hint, const char* picture, int x) {
        auto* b = new QToolButton(left);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(QString::fromUtf8(hint));
        b->setAutoRaise(true);
        b->setIcon(programIcon(picture));
        b->setGeometry(x, 0, 22, 22);
        return b;
    };
    saveTabs_ = speed("SpeedButton2", "タブセットを保存", "save-tabs", 0);
    addTab_ = speed("SpeedButton1", "現在フォルダをタブに追加(削除はタブを右クリック)", "add-tab", 22);
    QWidget* right = panel(paneBotom_, "PaneBotomRight");
    tabs_ = new TTabStrip(right);
    tabs_->setObjectName(QStringLiteral("TabControl1"));
    tabs_->setTabSize(80, 22);
    fill(right)->addWidget(tabs_);
    connect(tabs_, &TTabStrip::rowCountChanged, this, [this] { updatePaneBotom(); });
    row->addWidget(left);
    row->addWidget(right, 1);

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("Form1Client"));
    auto* col = fill(central);
    col->addWidget(area_, 1);
    col->addWidget(paneBotom_);
    setCentralWidget(central);
}

} // namespace g3
