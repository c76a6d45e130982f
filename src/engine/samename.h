// Texts of the same-name question: the caption, the question, the four size and time
// lines and the six answers. No widgets; the dialog (Unit3.h) shows them.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace g3 {

inline constexpr const char* kSameNameCaption = "Grottan3 建て増し・引っ越し 同名確認";
inline constexpr const char* kSameNameGroupCaption = "モード選択";
inline constexpr const char* kSameNameContinue = "続ける";
inline constexpr const char* kSameNameStop = "中止する";
inline constexpr const char* kSameNameFolderLabel = "洞窟名=";
inline constexpr const char* kSameNameFileLabel = "家の名=";

// The answers 0-5 are the radio items in this order; 6 is the abort button or the
// close box.
inline constexpr int kSameNameAbort = 6;
inline constexpr std::array<const char*, 6> kSameNameItems = {
    "元がnewなら（この家のみ）",       "上書き（この家のみ）",
    "スキップ（この家のみ）",           "元がnewなら（これ以降もすべて）",
    "上書き（これ以降もすべて）",       "スキップ（これ以降もすべて）",
};

// label is the operation word ("建て増し" or "引っ越し").
std::string sameNameQuestion(const std::string& label);
// "元の大きさ= 1,234,567Byte" / "先の大きさ= -1Byte"
std::string sourceSizeText(std::int64_t size);
std::string destinationSizeText(std::int64_t size);
// "元の改築日時= " / "先の改築日時= " followed by the time text as given.
std::string sourceTimeText(const std::string& time);
std::string destinationTimeText(const std::string& time);

} // namespace g3
