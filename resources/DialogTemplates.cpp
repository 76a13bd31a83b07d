// Every dialog template of the program.
#include <stdexcept>
#include <string>

#include "AdvancedDlgIds.h"
#include "DialogTemplate.h"
#include "LanguageDlgIds.h"
#include "MainDlgIds.h"
#include "ManualDlgIds.h"
#include "SettingsDlgIds.h"
#include "TranslatorInfoDlgIds.h"

namespace {

using K = EControlKind;

// The main window.
namespace main_window {
using namespace ids::main;
constexpr ControlTemplate kControls[] = {
    {kLoad, K::PushButton, "讀       檔", 5, 114, 196, 17, kStyleNone},
    {kSettings, K::PushButton, "設定", 203, 114, 26, 17, kStyleNone},
    {kStart, K::PushButton, "開 始 翻 譯", 5, 132, 196, 15, kStyleNone},
    {kStop, K::PushButton, "停止", 203, 132, 26, 15, kStyleNone},
    {kExit, K::PushButton, "離       開", 5, 148, 196, 15, kStyleNone},
    {kFileNameBox, K::GroupBox, "檔名", 4, 2, 177, 22, kStyleNone},
    {kFoundCountBox, K::GroupBox, "找到句數", 183, 3, 46, 21, kStyleNone},
    {kNoControlId, K::GroupBox, "完成度", 4, 27, 177, 23, kStyleNone},
    {kProgress, K::ProgressBar, "", 7, 38, 169, 9, kStyleNone},
    {kTranslatedCountBox, K::GroupBox, "翻譯句數", 183, 27, 46, 23, kStyleNone},
    {kSourceBox, K::GroupBox, "原始內容", 5, 53, 130, 58, kStyleNone},
    {kTranslationBox, K::GroupBox, "翻譯內容", 138, 53, 91, 58, kStyleNone},
    {kManual, K::PushButton, "手動", 203, 148, 26, 15, kStyleNone},
};
}  // namespace main_window

// The manual interface.
namespace manual_window {
using namespace ids::manual;
constexpr ControlTemplate kControls[] = {
    {kLoad, K::PushButton, "讀 檔", 248, 5, 41, 16, kStyleNone},
    {kTranslate, K::PushButton, "翻 譯", 248, 21, 41, 16, kStyleNone},
    {kWrite, K::PushButton, "寫 入", 248, 37, 41, 16, kStyleNone},
    {kStop, K::PushButton, "停 止", 248, 53, 41, 15, kStyleNone},
    {kEnd, K::PushButton, "結 束", 248, 69, 41, 15, kStyleNone},
    {kBackupExtList, K::ComboBox, "", 149, 14, 45, 65, kStyleNone},
    {kTranslationExtList, K::ComboBox, "", 201, 14, 42, 65, kStyleNone},
    {kBackupExtBox, K::GroupBox, "備份副檔名", 146, 4, 50, 25, kStyleNone},
    {kTranslationExtBox, K::GroupBox, "翻譯副檔名", 198, 4, 48, 25, kStyleNone},
    {kFileNameBox, K::GroupBox, "檔名", 4, 5, 140, 24, kStyleNone},
    {kProgress, K::ProgressBar, "", 7, 41, 134, 11, kStyleNone},
    {kProgressBox, K::GroupBox, "進度", 4, 31, 140, 25, kStyleNone},
    {kFoundCountBox, K::GroupBox, "找到句數", 146, 31, 50, 25, kStyleNone},
    {kCountBox, K::GroupBox, "句數", 198, 31, 48, 25, kStyleNone},
    {kSourceBox, K::GroupBox, "原始內容", 4, 57, 140, 26, kStyleNone},
    {kTranslationBox, K::GroupBox, "翻譯內容", 146, 57, 100, 26, kStyleNone},
};
}  // namespace manual_window

// The translator identity.
namespace translator_window {
using namespace ids::translator;
constexpr ControlTemplate kControls[] = {
    {kNoControlId, K::GroupBox, "輸入資料", 5, 6, 219, 57, kStyleNone},
    {kNoControlId, K::Static, "姓名:", 12, 20, 22, 8, kStyleNone},
    {kName, K::Edit, "", 35, 16, 183, 12, kStyleAutoHScroll | kStyleBorder},
    {kNoControlId, K::Static, "網址:", 12, 32, 22, 8, kStyleNone},
    {kUrl, K::Edit, "", 35, 30, 183, 12, kStyleAutoHScroll | kStyleBorder},
    {kNoControlId, K::Static, "信箱:", 12, 46, 23, 8, kStyleNone},
    {kEmail, K::Edit, "", 35, 43, 183, 14, kStyleAutoHScroll | kStyleBorder},
    {kConfirm, K::PushButton, "確 定", 5, 67, 220, 16, kStyleNone},
    {kCancel, K::PushButton, "取 消", 5, 84, 220, 14, kStyleNone},
};
}  // namespace translator_window

// The settings, with the area and the options of the 3D test view.
namespace settings_window {
using namespace ids::settings;
constexpr ControlTemplate kControls[] = {
    {kTranslationOptionsBox, K::GroupBox, " 中 文 翻 譯 介 面 ", 286, 1, 100, 101, kStyleNone},
    {kWholeSentence, K::RadioButton, "整句", 294, 13, 26, 8, kStyleGroupStart},
    {kSingleSentence, K::RadioButton, "單句", 294, 23, 28, 8, kStyleNone},
    {kNotepad, K::CheckBox, "記事本", 294, 37, 37, 10, kStyleNone},
    {kPatch, K::CheckBox, "Patch 檔", 294, 47, 37, 10, kStyleNone},
    {kPlugInDict, K::CheckBox, "字典檔", 294, 57, 37, 10, kStyleNone},
    {kDelayBox, K::GroupBox, "延 遲", 339, 10, 42, 27, kStyleNone},
    {kDelay, K::Slider, "Slider1", 342, 21, 35, 11, kStyleAutoTicks},
    {kBackupExtBox, K::GroupBox, "備份檔", 339, 40, 42, 28, kStyleNone},
    {kBackupExt, K::Edit, "", 343, 52, 34, 12, kStyleAutoHScroll | kStyleBorder},
    {kAdvanced, K::PushButton, "進 階", 290, 71, 31, 14, kStyleNone},
    {kLanguage, K::PushButton, "繁簡體", 321, 71, 30, 14, kStyleNone},
    {kAbout, K::PushButton, "關 於", 351, 71, 31, 14, kStyleNone},
    {kConfirm, K::PushButton, "確  定 ", 290, 85, 92, 14, kStyleNone},
    {kViewOptionsBox, K::GroupBox, "Direct3D 測 試 介 面 ", 170, 2, 113, 101, kStyleNone},
    {kTextureFilterBox, K::GroupBox, "硬體貼圖", 174, 12, 53, 24, kStyleNone},
    {kTextureFilter, K::ComboBox, "", 176, 21, 49, 57, kStyleNone},
    {kShadingBox, K::GroupBox, "表面打光", 174, 36, 54, 24, kStyleNone},
    {kShading, K::ComboBox, "", 175, 45, 50, 57, kStyleNone},
    {kDither, K::CheckBox, "混色", 178, 61, 32, 10, kStyleNone},
    {kPerspective, K::CheckBox, "貼圖修正", 178, 72, 46, 10, kStyleNone},
    {kLightsBox, K::GroupBox, " 光 源 ", 229, 12, 50, 69, kStyleNone},
    {kAmbientLight, K::CheckBox, "整體光", 233, 21, 39, 10, kStyleNone},
    {kDirectionalLight, K::CheckBox, "向性光", 233, 33, 39, 10, kStyleNone},
    {kPointLight, K::CheckBox, "點狀光", 233, 45, 39, 10, kStyleNone},
    {kParallelPointLight, K::CheckBox, "平行點光", 233, 57, 43, 10, kStyleNone},
    {kSpotLight, K::CheckBox, "聚光燈", 233, 65, 39, 15, kStyleNone},
    {kSpecial, K::PushButton, " 特殊指令 ", 173, 85, 55, 14, kStyleNone},
    {kTest, K::PushButton, " 測  試 ", 229, 85, 50, 14, kStyleNone},
    {kViewArea, K::GroupBox, "", 3, 0, 153, 105, kStyleHidden | kStyleDisabled},
};
}  // namespace settings_window

// The advanced options of the plug-in dictionary: 33 character boxes in three columns.
namespace advanced_window {
using namespace ids::advanced;
constexpr ControlTemplate kControls[] = {
    {kNoControlId, K::GroupBox, "外掛字典檔專用", 4, 5, 142, 141, kStyleNone},
    {kDigits, K::CheckBox, "數字", 9, 17, 44, 10, kStyleNone},
    {kLowercase, K::CheckBox, "小寫英文", 53, 17, 46, 10, kStyleNone},
    {kUppercase, K::CheckBox, "大寫英文", 99, 17, 45, 10, kStyleNone},
    {kSpaceChar, K::CheckBox, "空白字元", 9, 28, 44, 10, kStyleNone},
    {kExclamationChar, K::CheckBox, "! 字元", 9, 39, 44, 10, kStyleNone},
    {kQuoteChar, K::CheckBox, "\" 字元", 9, 50, 44, 10, kStyleNone},
    {kDollarChar, K::CheckBox, "$ 字元", 9, 61, 44, 10, kStyleNone},
    {kPercentChar, K::CheckBox, "% 字元", 9, 72, 44, 10, kStyleNone},
    {kApostropheChar, K::CheckBox, "' 字元", 9, 83, 44, 10, kStyleNone},
    {kOpenParenChar, K::CheckBox, "( 字元", 9, 94, 44, 10, kStyleNone},
    {kCloseParenChar, K::CheckBox, ") 字元", 9, 105, 44, 10, kStyleNone},
    {kAsteriskChar, K::CheckBox, "* 字元", 9, 116, 44, 10, kStyleNone},
    {kPlusChar, K::CheckBox, "+ 字元", 9, 127, 44, 10, kStyleNone},
    {kCommaChar, K::CheckBox, ", 字元", 53, 28, 46, 10, kStyleNone},
    {kMinusChar, K::CheckBox, "- 字元", 53, 39, 46, 10, kStyleNone},
    {kPeriodChar, K::CheckBox, ". 字元", 53, 50, 46, 10, kStyleNone},
    {kSlashChar, K::CheckBox, "/ 字元", 53, 61, 46, 10, kStyleNone},
    {kColonChar, K::CheckBox, ": 字元", 53, 72, 46, 10, kStyleNone},
    {kSemicolonChar, K::CheckBox, "; 字元", 53, 83, 46, 10, kStyleNone},
    {kLessChar, K::CheckBox, "< 字元", 53, 94, 46, 10, kStyleNone},
    {kEqualsChar, K::CheckBox, "= 字元", 53, 105, 46, 10, kStyleDisabled},
    {kGreaterChar, K::CheckBox, "> 字元", 53, 116, 46, 10, kStyleNone},
    {kQuestionChar, K::CheckBox, "? 字元", 53, 127, 46, 10, kStyleNone},
    {kAtChar, K::CheckBox, "@ 字元", 99, 28, 45, 10, kStyleNone},
    {kOpenBracketChar, K::CheckBox, "[ 字元", 99, 39, 45, 10, kStyleDisabled},
    {kCloseBracketChar, K::CheckBox, "] 字元", 99, 50, 45, 10, kStyleDisabled},
    {kCaretChar, K::CheckBox, "^ 字元", 99, 61, 45, 10, kStyleNone},
    {kUnderscoreChar, K::CheckBox, "_ 字元", 99, 72, 45, 10, kStyleNone},
    {kBacktickChar, K::CheckBox, "` 字元", 99, 83, 45, 10, kStyleNone},
    {kOpenBraceChar, K::CheckBox, "{ 字元", 99, 94, 45, 10, kStyleNone},
    {kBarChar, K::CheckBox, "| 字元", 99, 105, 45, 10, kStyleNone},
    {kCloseBraceChar, K::CheckBox, "} 字元", 99, 116, 45, 10, kStyleNone},
    {kTildeChar, K::CheckBox, "~ 字元", 99, 127, 45, 10, kStyleNone},
    {kNoControlId, K::GroupBox, "同時搜尋", 5, 150, 94, 23, kStyleNone},
    {kAlsoDefaultDict, K::CheckBox, "內定字典檔", 21, 160, 53, 8, kStyleNone},
    {kNoControlId, K::GroupBox, "大小寫", 101, 150, 45, 23, kStyleNone},
    {kIgnoreCase, K::CheckBox, "不分", 111, 160, 29, 8, kStyleNone},
    {kConfirm, K::PushButton, "確  定", 5, 177, 106, 14, kStyleNone},
    {kCancel, K::PushButton, "取  消", 5, 192, 106, 14, kStyleNone},
    {kDefaults, K::PushButton, "預設值", 112, 177, 34, 14, kStyleNone},
    {kClearAll, K::PushButton, "全清除", 112, 192, 34, 14, kStyleNone},
};
}  // namespace advanced_window

// The translation direction.
namespace language_window {
using namespace ids::language;
constexpr ControlTemplate kControls[] = {
    {kNoControlId, K::GroupBox, "翻譯型態", 4, 1, 75, 84, kStyleNone},
    {kToTraditional, K::RadioButton, "英文->繁體", 16, 17, 52, 10, kStyleGroupStart},
    {kToSimplified, K::RadioButton, "英文->簡體", 16, 33, 53, 10, kStyleNone},
    {kTraditionalToSimplified, K::RadioButton, "繁體->簡體", 16, 48, 54, 10, kStyleDisabled},
    {kSimplifiedToTraditional, K::RadioButton, "簡體->繁體", 16, 63, 55, 10, kStyleDisabled},
    {kConfirm, K::PushButton, "確 定", 4, 88, 75, 12, kStyleNone},
    {kCancel, K::PushButton, "取 消", 4, 100, 75, 12, kStyleNone},
};
}  // namespace language_window

constexpr DialogTemplate kTemplates[] = {
    {ids::main::kTemplate, " VOKRA v2.1", 233, 177, "細明體", 9, main_window::kControls},
    {ids::settings::kTemplate, " 設定介面", 389, 105, "新細明體", 9, settings_window::kControls},
    {ids::manual::kTemplate, " 手動介面", 292, 99, "細明體", 9, manual_window::kControls},
    {ids::advanced::kTemplate, " 進階介面", 150, 210, "細明體", 9, advanced_window::kControls},
    {ids::language::kTemplate, " 繁簡體介面", 83, 115, "細明體", 9, language_window::kControls},
    {ids::translator::kTemplate, " 翻譯作者", 230, 100, "細明體", 9, translator_window::kControls},
};

}  // namespace

const DialogTemplate& FindDialogTemplate(int id) {
    for (const DialogTemplate& dialog : kTemplates) {
        if (dialog.id == id) {
            return dialog;
        }
    }
    throw std::out_of_range("no dialog template " + std::to_string(id));
}
