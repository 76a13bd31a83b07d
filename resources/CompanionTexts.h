// The fixed texts of the write-back and of the two companion programs, the dictionary editor
// (vokra-edit) and Mender, exactly as the user sees them (UTF-8). Texts for Qt take %1, %2, ...;
// texts for printf take %s, %u, %d.
#pragma once

namespace texts {

// --- The dictionary editor -----------------------------------------------------------------

inline constexpr char kEditorUsage[] = "用法: vokra-edit 檔案\n";
inline constexpr char kEditorTitle[] = "%1[*] - VOKRA 字典編輯器";
inline constexpr char kEditorMenuFile[] = "檔案(&F)";
inline constexpr char kEditorSave[] = "儲存(&S)";
inline constexpr char kEditorQuit[] = "結束(&X)";
inline constexpr char kEditorMenuEdit[] = "編輯(&E)";
inline constexpr char kEditorUndo[] = "復原(&U)";
inline constexpr char kEditorRedo[] = "重做(&R)";
inline constexpr char kEditorCut[] = "剪下(&T)";
inline constexpr char kEditorCopy[] = "複製(&C)";
inline constexpr char kEditorPaste[] = "貼上(&P)";
inline constexpr char kEditorSelectAll[] = "全選(&A)";
inline constexpr char kEditorFind[] = "尋找(&F)...";
inline constexpr char kEditorFindNext[] = "找下一個(&N)";
inline constexpr char kFindTitle[] = "尋找";
inline constexpr char kFindLabel[] = "尋找目標(&N):";
inline constexpr char kFindMatchCase[] = "大小寫須相符(&C)";
inline constexpr char kFindButton[] = "找下一個(&F)";
inline constexpr char kFindCancel[] = "取消";
inline constexpr char kEditorNotFound[] = "找不到「%1」.";
// %1 the line, %2 the character's place in it (both from 1), %3 the character.
inline constexpr char kEditorUncodable[] =
    "第 %1 行第 %2 個字「%3」無法以字典檔的內碼存放, 檔案沒有儲存.";
inline constexpr char kEditorAskSave[] = "%1 已經修改過了, 要儲存變更嗎?";
// A byte kept as it was read; %1 its value in hexadecimal.
inline constexpr char kEditorKeptByte[] = "位元組 0x%1 無法解碼, 原樣保留.";
// Where the cursor stands: %1 the line, %2 the character's place in it (both from 1).
inline constexpr char kEditorPosition[] = "第 %1 行, 第 %2 字";

// --- Mender --------------------------------------------------------------------------------

inline constexpr char kMenderUsage[] =
    "用法: Mender [--whole-file] [翻譯檔 [原文檔]]\n"
    "將翻譯檔的翻譯寫入原文檔. 原文檔先備份在它的資料夾中, 檔名為原文檔名加 .BAK\n"
    "(.BAK 已存放其他內容時, 改用 .B01 到 .B09 中第一個可用的).\n"
    "不指定原文檔時, 取翻譯檔第 4 行「// 原文檔：」所記的檔名, 在目前資料夾中尋找.\n"
    "不指定翻譯檔時, 取與 Mender 同一資料夾中唯一的翻譯檔 (.txt).\n"
    "Windows 程式檔依其結構只翻譯介面文字 (選單、對話框、字串表); --whole-file 則掃描整個檔案,\n"
    "與翻譯檔記錄的選項無關.\n";
inline constexpr char kMenderTooManyArguments[] = "Mender: 參數太多.\n";
inline constexpr char kMenderNoTranslationFile[] =
    "Mender: %s 中沒有翻譯檔 (第 4 行為「// 原文檔：」的 .txt 檔), 沒有做任何修改.\n";
inline constexpr char kMenderSeveralTranslationFiles[] =
    "Mender: %s 中有不只一個翻譯檔, 請在命令列指定要用哪一個; 沒有做任何修改:\n";
inline constexpr char kMenderNoProgramName[] =
    "Mender: %s 的第 4 行沒有「// 原文檔：」及原文檔名, 請在命令列指定原文檔; "
    "沒有做任何修改.\n";
inline constexpr char kMenderProgramNameWithPath[] =
    "Mender: %s 第 4 行的原文檔名「%s」含有路徑, 只接受目前資料夾中的檔名; "
    "請在命令列指定原文檔. 沒有做任何修改.\n";
inline constexpr char kMenderNoBackupName[] =
    "Mender: %s 的備份檔名 (.BAK, .B01 到 .B09) 都已存放其他內容, 沒有做任何修改.\n";
inline constexpr char kMenderFiles[] = "原文檔：%s\n翻譯檔：%s\n備份檔：%s\n";
inline constexpr char kMenderSummary[] = "找到 %llu 句, 寫入 %lld 句.\n";
// A failure: the file-error text after the program's name.
inline constexpr char kMenderFailure[] = "Mender: %s\n";
inline constexpr char kMenderPressEnter[] = "按 Enter 鍵結束.";

}  // namespace texts
