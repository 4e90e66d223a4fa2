#include "panels/maintenance_texts.h"

#include "res/resource_ids.h"

namespace z4 {
namespace {

// The English title's dot is the half-width katakana middle dot (U+FF65), which
// is what the board's documentation shows; as UTF-8 it appears on any code page.
constexpr std::array<BuiltInText, 17> kTexts = {{
    {IDC_PANEL_TITLE, "テスト・拡張モード", "TEST\uFF65ADJUST MODE"},
    {IDC_NUMBER_LABEL, "No.", "No."},
    {IDC_ITEM_CCD, "CCD調整(単独)", "CCD"},
    {IDC_ITEM_EMC, "EMC測定(単独)", "EMC"},
    {IDC_ITEM_SWLED, "SW/LEDテスト", "SW/LED"},
    {IDC_ITEM_FEED, "フィード", "FIDO"},
    {IDC_ITEM_MEMORY, "メモリ", "MEMORY"},
    {IDC_ITEM_INFO, "設定情報出力", "INFORMATION OUTPUT"},
    {IDC_ITEM_CALCLEAR, "キャリブレーションデータクリア", "CALIBRATION CLEAR"},
    {IDC_ITEM_WAVE, "波形観測", "HAKEI"},
    {IDC_ITEM_KIBAN, "基板検査", "KIBAN"},
    {IDC_FEED_ONESHOT, "1ショット", "1SHOT"},
    {IDC_FEED_CONTINUOUS, "連続", "2SHOT"},
    {IDC_MEMORY_ONESHOT, "1ショット", "1SHOT"},
    {IDC_MEMORY_CONTINUOUS, "連続", "2SHOT"},
    {IDC_EXECUTE, "実行", "EXEC"},
    {IDC_STOP, "中断", "STOP"},
}};

}  // namespace

const std::array<BuiltInText, 17>& MaintenanceTexts() {
  return kTexts;
}

}  // namespace z4
