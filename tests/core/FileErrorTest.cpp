#include "FileError.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct SCauseText {
    EFileErrorCause cause;
    const char* expected;
};

// What the user reads for each cause when the operation was given "data/app.exe".
TEST(FileErrorText, EveryCauseNamesTheFile) {
    const std::vector<SCauseText> table = {
        {EFileErrorCause::None, "無錯誤產生."},
        {EFileErrorCause::Generic, "當存取 data/app.exe 時發生不可知的錯誤."},
        {EFileErrorCause::FileNotFound, "沒有找到 data/app.exe ."},
        {EFileErrorCause::BadPath, "data/app.exe 包含非合法路徑."},
        {EFileErrorCause::TooManyOpenFiles, "data/app.exe 無法開啟,因為已開啟太多檔案."},
        {EFileErrorCause::AccessDenied, "存取 data/app.exe 遭受拒絕."},
        {EFileErrorCause::InvalidFile, "一不合法檔案代碼與 data/app.exe 有關聯."},
        {EFileErrorCause::RemoveCurrentDir, "data/app.exe 無法被移除因為它是使用中目錄."},
        {EFileErrorCause::DirectoryFull, "data/app.exe 無法產生因為目錄空間已滿."},
        {EFileErrorCause::BadSeek, " data/app.exe 搜尋失敗"},
        {EFileErrorCause::HardwareIo, "當存取 data/app.exe 時產生硬體輸出入錯誤."},
        {EFileErrorCause::SharingViolation,
         "當存取 data/app.exe 時發生分享違反(Sharing Violation)."},
        {EFileErrorCause::LockViolation,
         "當存取 data/app.exe 時有產生鎖定違反(Locking Violation)."},
        {EFileErrorCause::DiskFull, "當存取 data/app.exe 時磁碟空間已滿."},
        {EFileErrorCause::EndOfFile, "試圖存取超過 data/app.exe 之檔尾."},
        {EFileErrorCause::IsFolder, "data/app.exe 是資料夾, 不是檔案."},
        {EFileErrorCause::ReadOnlyDisk, "data/app.exe 所在的磁碟是唯讀的, 無法寫入."},
        {EFileErrorCause::NotAFile,
         "data/app.exe 不是一般檔案 (裝置、管線或其他特殊檔案), 不予處理."},
        {EFileErrorCause::IsLink,
         "data/app.exe 是符號連結, VOKRA 不經由連結寫入檔案; 請直接選擇它所連到的檔案."},
        {EFileErrorCause::InUse, "另一個 VOKRA 正在處理 data/app.exe, 請等它完成後再試."},
        {EFileErrorCause::NoBackupName,
         "data/app.exe 的備份檔名 (選定的副檔名及 .B01 到 .B09) 都已存放其他內容, "
         "沒有做任何修改."},
        {EFileErrorCause::NoBackup, "data/app.exe 旁邊沒有可以還原的備份檔."},
        {EFileErrorCause::SameAsProgram, "data/app.exe 就是原文檔本身, 不能拿來存放備份或翻譯."},
    };
    for (const auto& row : table) {
        const CFileError error(row.cause, "data/app.exe");
        EXPECT_EQ(error.Text(), row.expected) << "cause " << static_cast<int>(row.cause);
        EXPECT_EQ(std::string(error.what()), row.expected)
            << "cause " << static_cast<int>(row.cause);
        EXPECT_EQ(error.Cause(), row.cause);
        EXPECT_EQ(error.FileName(), "data/app.exe");
    }
}

TEST(FileErrorText, EmptyNameIsShownAsUnnamedButKeptEmpty) {
    const CFileError error(EFileErrorCause::FileNotFound, "");
    EXPECT_EQ(error.Text(), "沒有找到 未命名檔案 .");
    EXPECT_EQ(error.FileName(), "");
}

TEST(FileErrorText, NameIsInsertedVerbatim) {
    // A placeholder inside the name is part of the name, not a second place to fill in.
    EXPECT_EQ(CFileError(EFileErrorCause::AccessDenied, "%1.exe").Text(), "存取 %1.exe 遭受拒絕.");
    EXPECT_EQ(CFileError(EFileErrorCause::BadPath, "程式/中文 名.exe").Text(),
              "程式/中文 名.exe 包含非合法路徑.");
}

struct SErrnoCause {
    int error;
    EFileErrorCause cause;
};

TEST(FileErrorCause, ErrnoValuesMapToCauses) {
    const std::vector<SErrnoCause> table = {
        {ENOENT, EFileErrorCause::FileNotFound},
        {ENOTDIR, EFileErrorCause::BadPath},
        {ENAMETOOLONG, EFileErrorCause::BadPath},
        {EINVAL, EFileErrorCause::BadPath},
        {EMFILE, EFileErrorCause::TooManyOpenFiles},
        {ENFILE, EFileErrorCause::TooManyOpenFiles},
        {EACCES, EFileErrorCause::AccessDenied},
        {EPERM, EFileErrorCause::AccessDenied},
        {EISDIR, EFileErrorCause::IsFolder},
        {EROFS, EFileErrorCause::ReadOnlyDisk},
        {EBADF, EFileErrorCause::InvalidFile},
        {ESPIPE, EFileErrorCause::BadSeek},
        {EIO, EFileErrorCause::HardwareIo},
        {ETXTBSY, EFileErrorCause::SharingViolation},
        {EBUSY, EFileErrorCause::SharingViolation},
        {ENOLCK, EFileErrorCause::LockViolation},
        {EDEADLK, EFileErrorCause::LockViolation},
        {ENOSPC, EFileErrorCause::DiskFull},
        {EDQUOT, EFileErrorCause::DiskFull},
        // Anything without a cause of its own.
        {ELOOP, EFileErrorCause::Generic},
        {EAGAIN, EFileErrorCause::Generic},
        {EFBIG, EFileErrorCause::Generic},
        {0, EFileErrorCause::Generic},
        {-1, EFileErrorCause::Generic},
    };
    for (const auto& row : table) {
        EXPECT_EQ(static_cast<int>(CauseFromErrno(row.error)), static_cast<int>(row.cause))
            << "errno " << row.error;
    }
}

TEST(FileErrorCause, ThrowFileErrorCarriesCauseAndName) {
    try {
        ThrowFileError(ENOSPC, "out/app.exe");
    } catch (const CFileError& error) {
        EXPECT_EQ(error.Cause(), EFileErrorCause::DiskFull);
        EXPECT_EQ(error.FileName(), "out/app.exe");
        return;
    }
    FAIL() << "ThrowFileError returned";
}

TEST(FailureTextTest, FileErrorShowsItsOwnText) {
    EXPECT_EQ(FailureText(CFileError(EFileErrorCause::DiskFull, "a.dll")),
              "當存取 a.dll 時磁碟空間已滿.");
}

TEST(FailureTextTest, ExhaustedAllocationShowsOutOfMemory) {
    EXPECT_EQ(FailureText(std::bad_alloc()), "記憶體不足.");
    EXPECT_EQ(FailureText(std::bad_array_new_length()), "記憶體不足.");
}

TEST(FailureTextTest, OtherFailuresShowTheGenericTextForAnUnnamedFile) {
    EXPECT_EQ(FailureText(std::runtime_error("parser gave up")),
              "當存取 未命名檔案 時發生不可知的錯誤.");
    EXPECT_EQ(FailureText(std::logic_error("bug")), "當存取 未命名檔案 時發生不可知的錯誤.");
}

}  // namespace
