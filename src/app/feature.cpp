#include "app/feature.h"

#include "ui/programicon.h"

#include <QAction>

namespace g3 {

const std::vector<ToolSpec>& toolSpecs() {
    // The search button's picture while a search runs is programIcon("stop").
    static const std::vector<ToolSpec> specs = {
        {ToolSlot::Horu, "tbtnHoru", "洞窟を掘る", "dig", false},
        {ToolSlot::Umeru, "tbtnUmeru", "洞窟を埋める", "fill", false},
        {ToolSlot::Saisin, "tbtnSaisin", "ウインドウ・リフレッシュOn/Off", "refresh", false},
        {ToolSlot::Kensak, "tbtnKensak", "家を探す(中止はもう一度クリック)", "search", false},
        {ToolSlot::Style, "tbtnStyle", "家一覧のスタイル", "liststyle", true},
        {ToolSlot::NamHenkou, "tbtnNamHenkou", "家の表札名変更", "rename", false},
        {ToolSlot::Past, "tbtnPast", "クリップボードから家を貼り付け", "paste", false},
        {ToolSlot::Copy, "tbtnCopy", "選択した家をクリップボードへコピー", "copy", false},
        {ToolSlot::ZenSentak, "tbtnZenSentak", "家を全選択", "selectall", false},
        {ToolSlot::Tatinok, "tbtnTatinok", "立ち退く", "evict", false},
        {ToolSlot::GomiOpen, "tbtnGomiOpen", "立ち退き先を開く", "evicted", false},
        {ToolSlot::Tatemas, "tbtnTatemas", "建て増す", "extension", false},
        {ToolSlot::Hikos, "tbtnHikos", "引っ越す", "move", false},
        {ToolSlot::NamHenCopy, "tbtnNamHenCopy", "表札名を変えて建て増す", "extension-rename", false},
        {ToolSlot::PasCopy, "tbtnPasCopy", "家の表札名コピーなど", "copy-name", false},
        {ToolSlot::Kaito, "tbtnKaito", "冷凍団地を解凍", "thaw", false},
        {ToolSlot::Asyuk, "tbtnAsyuk", "冷凍団地に7z凍結", "freeze", false},
        {ToolSlot::Quick, "tbtnQuick", "クイックビュー(ON/OFF)", "quickview", true},
        {ToolSlot::Sort, "tbtnSort", "家一覧ソート", "sort", false},
        {ToolSlot::TateYoko, "tbtnTateYoko", "パネル配置(縦/横)", "layout", false},
        {ToolSlot::shotokato, "tbtnshotokato", "近道を作る", "shortcut", false},
        {ToolSlot::VajHel, "tbtnVajHel", "バージョン＆ヘルプ", "help", false},
    };
    return specs;
}

const ToolSpec& toolSpec(ToolSlot slot) { return toolSpecs()[static_cast<std::size_t>(slot)]; }

FeatureController::FeatureController(WindowContext& window, QObject* parent)
    : QObject(parent), window_(window) {}

QAction* FeatureController::makeTool(ToolPlaces& places, ToolSlot slot,
                                     std::function<void()> handler, QMenu* menu) {
    const ToolSpec& spec = toolSpec(slot);
    QAction* a = makeAction(spec.name, QString::fromUtf8(spec.hint), std::move(handler));
    a->setIcon(programIcon(spec.picture));
    a->setToolTip(QString::fromUtf8(spec.hint));
    places.placeTool(slot, a, menu);
    return a;
}

QAction* FeatureController::makeAction(const char* name, const QString& caption,
                                       std::function<void()> handler) {
    auto* a = new QAction(caption, this);
    a->setObjectName(QString::fromLatin1(name));
    connect(a, &QAction::triggered, this, [this, handler = std::move(handler)] {
        window_.services().boxes.runGuarded(handler);
    });
    return a;
}

} // namespace g3
