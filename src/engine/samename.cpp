#include "engine/samename.h"

#include "platform/numfmt.h"

namespace g3 {

std::string sameNameQuestion(const std::string& label) {
    return "同じ名前の家が" + label + "先にすでにありますが、" + label + "しますか？";
}

std::string sourceSizeText(std::int64_t size) {
    return "元の大きさ= " + formatGrouped(size) + "Byte";
}

std::string destinationSizeText(std::int64_t size) {
    return "先の大きさ= " + formatGrouped(size) + "Byte";
}

std::string sourceTimeText(const std::string& time) { return "元の改築日時= " + time; }

std::string destinationTimeText(const std::string& time) { return "先の改築日時= " + time; }

} // namespace g3
