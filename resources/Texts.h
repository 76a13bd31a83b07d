// The fixed texts VOKRA shows, exactly as the user sees them (UTF-8). Status texts keep their
// trailing blanks so that a shorter text covers a longer one in the same pane.
#pragma once

namespace texts {

// Window titles.
inline constexpr char kMainTitle[] = " VOKRA v2.1  ";
inline constexpr char kMainTitleRunning[] = " VOKRA v2.1  - [%d/%d] %s%s";
inline constexpr char kMainTitleLoaded[] = " VOKRA v2.1  - [1/%d] %s%s ";

// Status-bar panes of the main window.
inline constexpr char kPaneOffsetInitial[] = "標案: 0        ";
inline constexpr char kPaneOffset[] = "檔案: %lld";  // offsets are 64-bit
inline constexpr char kPaneLogo[] = "\t\t\t    ";
inline constexpr char kPaneRatioInitial[] = "翻譯比: 0%     ";
inline constexpr char kPaneRatio[] = "翻譯比: %3d%%";
inline constexpr char kPaneStateIdle[] = "狀態: 無動作   ";
inline constexpr char kPaneStateTranslating[] = "狀況: 翻譯   ";
inline constexpr char kPaneStateDone[] = "狀況: 完成   ";

// The file choice of Load: label and patterns alternate, separated by "|".
inline constexpr char kLoadFilter[] =
    " 可執行檔(.exe;.dll;.ocx)|*.EXE;*.DLL;*.OCX | 所有檔案(*.*)|*.*";

// File-error texts; %1 is replaced by the file name.
inline constexpr char kErrorNone[] = "無錯誤產生.";
inline constexpr char kErrorGeneric[] = "當存取 %1 時發生不可知的錯誤.";
inline constexpr char kErrorFileNotFound[] = "沒有找到 %1 .";
inline constexpr char kErrorBadPath[] = "%1 包含非合法路徑.";
inline constexpr char kErrorTooManyOpenFiles[] = "%1 無法開啟,因為已開啟太多檔案.";
inline constexpr char kErrorAccessDenied[] = "存取 %1 遭受拒絕.";
inline constexpr char kErrorInvalidFile[] = "一不合法檔案代碼與 %1 有關聯.";
inline constexpr char kErrorRemoveCurrentDir[] = "%1 無法被移除因為它是使用中目錄.";
inline constexpr char kErrorDirectoryFull[] = "%1 無法產生因為目錄空間已滿.";
inline constexpr char kErrorBadSeek[] = " %1 搜尋失敗";
inline constexpr char kErrorHardwareIo[] = "當存取 %1 時產生硬體輸出入錯誤.";
inline constexpr char kErrorSharingViolation[] = "當存取 %1 時發生分享違反(Sharing Violation).";
inline constexpr char kErrorLockViolation[] = "當存取 %1 時有產生鎖定違反(Locking Violation).";
inline constexpr char kErrorDiskFull[] = "當存取 %1 時磁碟空間已滿.";
inline constexpr char kErrorEndOfFile[] = "試圖存取超過 %1 之檔尾.";
inline constexpr char kErrorIsFolder[] = "%1 是資料夾, 不是檔案.";
inline constexpr char kErrorReadOnlyDisk[] = "%1 所在的磁碟是唯讀的, 無法寫入.";
inline constexpr char kErrorNotAFile[] = "%1 不是一般檔案 (裝置、管線或其他特殊檔案), 不予處理.";
inline constexpr char kErrorIsLink[] =
    "%1 是符號連結, VOKRA 不經由連結寫入檔案; 請直接選擇它所連到的檔案.";
inline constexpr char kErrorInUse[] = "另一個 VOKRA 正在處理 %1, 請等它完成後再試.";
inline constexpr char kErrorNoBackupName[] =
    "%1 的備份檔名 (選定的副檔名及 .B01 到 .B09) 都已存放其他內容, 沒有做任何修改.";
inline constexpr char kErrorNoBackup[] = "%1 旁邊沒有可以還原的備份檔.";
inline constexpr char kErrorSameAsProgram[] = "%1 就是原文檔本身, 不能拿來存放備份或翻譯.";
inline constexpr char kErrorBrokenProgram[] =
    "%1 看來是 Windows 程式檔, 但它的結構 (檔頭、區段表或資源目錄) 無法讀取, 沒有做任何修改; "
    "若仍要翻譯, 請選用整檔掃描.";
inline constexpr char kUnnamedFile[] = "未命名檔案";
inline constexpr char kOutOfMemory[] = "記憶體不足.";

// What a pass tells the user once it is over; %1 and %2 as each says.
// %1 the name chosen for the backup, %2 the name it took.
inline constexpr char kNoticeBackupName[] = "%1 已存放其他內容, 備份改存為 %2.";
// %1 the program file.
inline constexpr char kNoticeSigned[] =
    "%1 帶有數位簽章; 任何修改都會使簽章失效, Windows 可能不再信任翻譯後的檔案.";
// %1 the English text whose translation would lose a placeholder (%s, %d, %1 ...).
inline constexpr char kNoticePlaceholderLost[] =
    "「%1」的翻譯少了或改動了格式符號 (如 %s、%d), 這段沒有寫入.";
// %1 the program file, %2 how many other names it has.
inline constexpr char kNoticeOtherLinks[] =
    "%1 另有 %2 個名稱 (硬連結) 指向翻譯前的檔案, 它們仍是原來的內容.";
// %1 the program file.
inline constexpr char kNoticeNoLock[] =
    "%1 所在的檔案系統不支援鎖定, 無法防止另一個 VOKRA 同時處理它.";

// %1 the translation text file, %2 the name its earlier contents are kept under.
inline constexpr char kNoticeListingKept[] = "原來的 %1 已另存為 %2.";

// Restore, in the windows' context menu. %1 the program file, %2 its backup.
inline constexpr char kRestoreCommand[] = "還原原始檔 (從備份檔)";
inline constexpr char kRestoreDone[] = "%1 已從 %2 還原.";
inline constexpr char kRestoreAlready[] = "%1 與備份檔 %2 相同, 已是原始檔.";

// Translate over an earlier translation text file; %1 the file.
inline constexpr char kAskReplaceListing[] =
    "%1 已經存在, 其中可能有您的修改.\n要重新翻譯並取代它嗎? (原來的內容會另存為 %1.1 等)";

// The manual window.
inline constexpr char kManualTitle[] = " 手動介面 ";
inline constexpr char kManualTitleLoaded[] = " 手動介面  - [1/%d] %s%s ";
inline constexpr char kManualTitleRunning[] = " 手動介面  - [%d/%d] %s%s";
inline constexpr char kManualPaneMarker[] = "               ";  // 15 blanks
inline constexpr char kPaneStateTranslate[] = "狀態: 翻譯   ";
inline constexpr char kPaneStateTranslateDone[] = "狀態: 翻譯完成   ";
inline constexpr char kPaneStateWrite[] = "狀態: 寫入   ";
inline constexpr char kPaneStateWriteDone[] = "狀態: 寫入完成   ";
inline constexpr char kTranslateProgressCaption[] = "翻譯進度";
inline constexpr char kTranslateCountCaption[] = "翻譯句數";
inline constexpr char kWriteProgressCaption[] = "寫入進度";
inline constexpr char kWriteCountCaption[] = "寫入句數";

// The header of a translation text file, written in the dictionary code; every line ends with
// CR LF. Line 1 has 81 equals signs, line 12 has 92.
inline constexpr char kHeaderRuleTop[] =
    "//=================================================================================";
inline constexpr char kHeaderTitle[] = "// VOKRA  翻譯字典 ";
inline constexpr char kHeaderPath[] = "// 原路徑：%s%s";
inline constexpr char kHeaderFile[] = "// 原文檔：%s%s";
inline constexpr char kHeaderBackup[] = "// 備份檔：%s%s";
inline constexpr char kHeaderListing[] = "// 翻譯檔：%s%s";
inline constexpr char kHeaderTypeBig5[] = "// 翻譯型態： BIG5 ";
inline constexpr char kHeaderTypeGb[] = "// 翻譯型態： GB ";
inline constexpr char kHeaderTypeNone[] = "// 翻譯型態： 無";
inline constexpr char kHeaderTranslator[] = "// 翻譯作者： %s";
inline constexpr char kHeaderUrl[] = "// 作者網址： %s";
inline constexpr char kHeaderEmail[] = "// 作者信箱： %s";
inline constexpr char kHeaderDate[] = "// 翻譯日期： %4d/%2d/%2d ";
inline constexpr char kHeaderRuleBottom[] =
    "//"
    "============================================================================================";

// The settings window.
inline constexpr char kSettingsLoadingTitle[] = "   讀 取 中 . . .  ";
inline constexpr char kSpecialWholeFile[] =
    "整檔掃描 (Windows 程式檔也不依其結構, 可能使程式無法執行)";
inline constexpr char kSpecialTip[] = "較少用到的選項, 例如整檔掃描";
inline constexpr char kSettingsNoViewTitle[] = "  設定介面  [無法測試 Direct3D 介面] ";
inline constexpr char kBackupExtWithSlash[] =
    "備份檔的副檔名不可含有 / 字元, 仍使用原來的副檔名 %1 .";
inline constexpr const char* kShadingModes[] = {"線框", "無光平面", "光影塊面", "光影圓滑",
                                                "光跡圓滑"};
inline constexpr const char* kTextureFilters[] = {"無",       "單線補插", "單線濾波",
                                                  "雙線補插", "雙線濾波", "三線補插"};
inline constexpr char kAboutCaption[] = " 關於 VOKRA";
inline constexpr char kAboutText[] =
    "VOKRA v2.1\n\n"
    "把 Windows 程式檔裡的英文介面文字翻成中文.\n\n"
    "作者: VOKRA 開發團隊\n"
    "網址: https://vokra.example.org\n"
    "信箱: team@vokra.example.org";

// The language-direction window.
inline constexpr char kLanguageTitle[] = " 繁簡體介面 ";

// The translator identity: a typed character the dictionary code cannot hold. %1 the field's
// label, %2 the character's place in it, %3 the character.
inline constexpr char kUncodableCharacter[] =
    "%1 的第 %2 個字「%3」無法以字典檔的內碼存放, 請改用其他字.";

}  // namespace texts
