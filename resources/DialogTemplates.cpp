// Every dialog template of the program.
#include <stdexcept>
#include <string>

#include "DialogTemplate.h"

namespace {

using K = EControlKind;

// 102: the main window.
constexpr ControlTemplate kMain[] = {
    {1001, K::PushButton, "讀       檔", 5, 114, 196, 17, kStyleNone},
    {1005, K::PushButton, "設定", 203, 114, 26, 17, kStyleNone},
    {1002, K::PushButton, "開 始 翻 譯", 5, 132, 196, 15, kStyleNone},
    {1006, K::PushButton, "停止", 203, 132, 26, 15, kStyleNone},
    {1003, K::PushButton, "離       開", 5, 148, 196, 15, kStyleNone},
    {1071, K::GroupBox, "檔名", 4, 2, 177, 22, kStyleNone},
    {1072, K::GroupBox, "找到句數", 183, 3, 46, 21, kStyleNone},
    {kNoControlId, K::GroupBox, "完成度", 4, 27, 177, 23, kStyleNone},
    {1039, K::ProgressBar, "", 7, 38, 169, 9, kStyleNone},
    {1073, K::GroupBox, "翻譯句數", 183, 27, 46, 23, kStyleNone},
    {1074, K::GroupBox, "原始內容", 5, 53, 130, 58, kStyleNone},
    {1075, K::GroupBox, "翻譯內容", 138, 53, 91, 58, kStyleNone},
    {1007, K::PushButton, "手動", 203, 148, 26, 15, kStyleNone},
};

// 134: the manual interface.
constexpr ControlTemplate kManual[] = {
    {1092, K::PushButton, "讀 檔", 248, 5, 41, 16, kStyleNone},
    {1093, K::PushButton, "翻 譯", 248, 21, 41, 16, kStyleNone},
    {1094, K::PushButton, "寫 入", 248, 37, 41, 16, kStyleNone},
    {1005, K::PushButton, "停 止", 248, 53, 41, 15, kStyleNone},
    {1004, K::PushButton, "結 束", 248, 69, 41, 15, kStyleNone},
    {1096, K::ComboBox, "", 149, 14, 45, 65, kStyleNone},
    {1097, K::ComboBox, "", 201, 14, 42, 65, kStyleNone},
    {1072, K::GroupBox, "備份副檔名", 146, 4, 50, 25, kStyleNone},
    {1073, K::GroupBox, "翻譯副檔名", 198, 4, 48, 25, kStyleNone},
    {1090, K::GroupBox, "檔名", 4, 5, 140, 24, kStyleNone},
    {1095, K::ProgressBar, "", 7, 41, 134, 11, kStyleNone},
    {1100, K::GroupBox, "進度", 4, 31, 140, 25, kStyleNone},
    {1091, K::GroupBox, "找到句數", 146, 31, 50, 25, kStyleNone},
    {1077, K::GroupBox, "句數", 198, 31, 48, 25, kStyleNone},
    {1098, K::GroupBox, "原始內容", 4, 57, 140, 26, kStyleNone},
    {1099, K::GroupBox, "翻譯內容", 146, 57, 100, 26, kStyleNone},
};

// 147: the translator identity.
constexpr ControlTemplate kTranslator[] = {
    {kNoControlId, K::GroupBox, "輸入資料", 5, 6, 219, 57, kStyleNone},
    {kNoControlId, K::Static, "姓名:", 12, 20, 22, 8, kStyleNone},
    {1131, K::Edit, "", 35, 16, 183, 12, kStyleAutoHScroll | kStyleBorder},
    {kNoControlId, K::Static, "網址:", 12, 32, 22, 8, kStyleNone},
    {1132, K::Edit, "", 35, 30, 183, 12, kStyleAutoHScroll | kStyleBorder},
    {kNoControlId, K::Static, "信箱:", 12, 46, 23, 8, kStyleNone},
    {1133, K::Edit, "", 35, 43, 183, 14, kStyleAutoHScroll | kStyleBorder},
    {1134, K::PushButton, "確 定", 5, 67, 220, 16, kStyleNone},
    {2, K::PushButton, "取 消", 5, 84, 220, 14, kStyleNone},
};

// 129: the settings, with the area and the options of the 3D test view.
constexpr ControlTemplate kSettings[] = {
    {1087, K::GroupBox, " 中 文 翻 譯 介 面 ", 286, 1, 100, 101, kStyleNone},
    {1045, K::RadioButton, "整句", 294, 13, 26, 8, kStyleGroupStart},
    {1044, K::RadioButton, "單句", 294, 23, 28, 8, kStyleNone},
    {1061, K::CheckBox, "記事本", 294, 37, 37, 10, kStyleNone},
    {1063, K::CheckBox, "Patch 檔", 294, 47, 37, 10, kStyleNone},
    {1057, K::CheckBox, "字典檔", 294, 57, 37, 10, kStyleNone},
    {1088, K::GroupBox, "延 遲", 339, 10, 42, 27, kStyleNone},
    {1062, K::Slider, "Slider1", 342, 21, 35, 11, kStyleAutoTicks},
    {1089, K::GroupBox, "備份檔", 339, 40, 42, 28, kStyleNone},
    {1070, K::Edit, "", 343, 52, 34, 12, kStyleAutoHScroll | kStyleBorder},
    {1049, K::PushButton, "進 階", 290, 71, 31, 14, kStyleNone},
    {1050, K::PushButton, "繁簡體", 321, 71, 30, 14, kStyleNone},
    {1046, K::PushButton, "關 於", 351, 71, 31, 14, kStyleNone},
    {1043, K::PushButton, "確  定 ", 290, 85, 92, 14, kStyleNone},
    {1078, K::GroupBox, "Direct3D 測 試 介 面 ", 170, 2, 113, 101, kStyleNone},
    {1077, K::GroupBox, "硬體貼圖", 174, 12, 53, 24, kStyleNone},
    {1060, K::ComboBox, "", 176, 21, 49, 57, kStyleNone},
    {1080, K::GroupBox, "表面打光", 174, 36, 54, 24, kStyleNone},
    {1059, K::ComboBox, "", 175, 45, 50, 57, kStyleNone},
    {1051, K::CheckBox, "混色", 178, 61, 32, 10, kStyleNone},
    {1058, K::CheckBox, "貼圖修正", 178, 72, 46, 10, kStyleNone},
    {1079, K::GroupBox, " 光 源 ", 229, 12, 50, 69, kStyleNone},
    {1053, K::CheckBox, "整體光", 233, 21, 39, 10, kStyleNone},
    {1052, K::CheckBox, "向性光", 233, 33, 39, 10, kStyleNone},
    {1054, K::CheckBox, "點狀光", 233, 45, 39, 10, kStyleNone},
    {1055, K::CheckBox, "平行點光", 233, 57, 43, 10, kStyleNone},
    {1056, K::CheckBox, "聚光燈", 233, 65, 39, 15, kStyleNone},
    {1048, K::PushButton, " 特殊指令 ", 173, 85, 55, 14, kStyleNone},
    {1047, K::PushButton, " 測  試 ", 229, 85, 50, 14, kStyleNone},
    {1076, K::GroupBox, "", 3, 0, 153, 105, kStyleHidden | kStyleDisabled},
};

// 136: the advanced options of the plug-in dictionary: 33 character boxes in three columns.
constexpr ControlTemplate kAdvanced[] = {
    {kNoControlId, K::GroupBox, "外掛字典檔專用", 4, 5, 142, 141, kStyleNone},
    {1111, K::CheckBox, "數字", 9, 17, 44, 10, kStyleNone},
    {1112, K::CheckBox, "小寫英文", 53, 17, 46, 10, kStyleNone},
    {1113, K::CheckBox, "大寫英文", 99, 17, 45, 10, kStyleNone},
    {1114, K::CheckBox, "空白字元", 9, 28, 44, 10, kStyleNone},
    {1115, K::CheckBox, "! 字元", 9, 39, 44, 10, kStyleNone},
    {1116, K::CheckBox, "\" 字元", 9, 50, 44, 10, kStyleNone},
    {1117, K::CheckBox, "$ 字元", 9, 61, 44, 10, kStyleNone},
    {1118, K::CheckBox, "% 字元", 9, 72, 44, 10, kStyleNone},
    {1059, K::CheckBox, "' 字元", 9, 83, 44, 10, kStyleNone},
    {1060, K::CheckBox, "( 字元", 9, 94, 44, 10, kStyleNone},
    {1061, K::CheckBox, ") 字元", 9, 105, 44, 10, kStyleNone},
    {1062, K::CheckBox, "* 字元", 9, 116, 44, 10, kStyleNone},
    {1063, K::CheckBox, "+ 字元", 9, 127, 44, 10, kStyleNone},
    {1064, K::CheckBox, ", 字元", 53, 28, 46, 10, kStyleNone},
    {1065, K::CheckBox, "- 字元", 53, 39, 46, 10, kStyleNone},
    {1066, K::CheckBox, ". 字元", 53, 50, 46, 10, kStyleNone},
    {1067, K::CheckBox, "/ 字元", 53, 61, 46, 10, kStyleNone},
    {1068, K::CheckBox, ": 字元", 53, 72, 46, 10, kStyleNone},
    {1069, K::CheckBox, "; 字元", 53, 83, 46, 10, kStyleNone},
    {1070, K::CheckBox, "< 字元", 53, 94, 46, 10, kStyleNone},
    {1071, K::CheckBox, "= 字元", 53, 105, 46, 10, kStyleDisabled},
    {1072, K::CheckBox, "> 字元", 53, 116, 46, 10, kStyleNone},
    {1073, K::CheckBox, "? 字元", 53, 127, 46, 10, kStyleNone},
    {1074, K::CheckBox, "@ 字元", 99, 28, 45, 10, kStyleNone},
    {1075, K::CheckBox, "[ 字元", 99, 39, 45, 10, kStyleDisabled},
    {1076, K::CheckBox, "] 字元", 99, 50, 45, 10, kStyleDisabled},
    {1077, K::CheckBox, "^ 字元", 99, 61, 45, 10, kStyleNone},
    {1078, K::CheckBox, "_ 字元", 99, 72, 45, 10, kStyleNone},
    {1079, K::CheckBox, "` 字元", 99, 83, 45, 10, kStyleNone},
    {1080, K::CheckBox, "{ 字元", 99, 94, 45, 10, kStyleNone},
    {1081, K::CheckBox, "| 字元", 99, 105, 45, 10, kStyleNone},
    {1082, K::CheckBox, "} 字元", 99, 116, 45, 10, kStyleNone},
    {1083, K::CheckBox, "~ 字元", 99, 127, 45, 10, kStyleNone},
    {kNoControlId, K::GroupBox, "同時搜尋", 5, 150, 94, 23, kStyleNone},
    {1084, K::CheckBox, "內定字典檔", 21, 160, 53, 8, kStyleNone},
    {kNoControlId, K::GroupBox, "大小寫", 101, 150, 45, 23, kStyleNone},
    {1085, K::CheckBox, "不分", 111, 160, 29, 8, kStyleNone},
    {1107, K::PushButton, "確  定", 5, 177, 106, 14, kStyleNone},
    {1108, K::PushButton, "取  消", 5, 192, 106, 14, kStyleNone},
    {1119, K::PushButton, "預設值", 112, 177, 34, 14, kStyleNone},
    {1120, K::PushButton, "全清除", 112, 192, 34, 14, kStyleNone},
};

// 146: the translation direction.
constexpr ControlTemplate kLanguage[] = {
    {kNoControlId, K::GroupBox, "翻譯型態", 4, 1, 75, 84, kStyleNone},
    {1126, K::RadioButton, "英文->繁體", 16, 17, 52, 10, kStyleGroupStart},
    {1127, K::RadioButton, "英文->簡體", 16, 33, 53, 10, kStyleNone},
    {1046, K::RadioButton, "繁體->簡體", 16, 48, 54, 10, kStyleDisabled},
    {1047, K::RadioButton, "簡體->繁體", 16, 63, 55, 10, kStyleDisabled},
    {1128, K::PushButton, "確 定", 4, 88, 75, 12, kStyleNone},
    {1129, K::PushButton, "取 消", 4, 100, 75, 12, kStyleNone},
};

constexpr DialogTemplate kTemplates[] = {
    {102, " VOKRA v2.1", 233, 177, "細明體", 9, kMain},
    {129, " 設定介面", 389, 105, "新細明體", 9, kSettings},
    {134, " 手動介面", 292, 99, "細明體", 9, kManual},
    {136, " 進階介面", 150, 210, "細明體", 9, kAdvanced},
    {146, " 繁簡體介面", 83, 115, "細明體", 9, kLanguage},
    {147, " 翻譯作者", 230, 100, "細明體", 9, kTranslator},
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
