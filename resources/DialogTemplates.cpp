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

constexpr DialogTemplate kTemplates[] = {
    {102, " VOKRA v2.1", 233, 177, "細明體", 9, kMain},
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
