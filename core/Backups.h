// A program file's backup: the file as it was before VOKRA first changed it, beside it under its
// name without extension plus the chosen backup extension, or, where that name holds something
// else, ".B01" to ".B09". An existing backup that differs from the file is never replaced, a file
// is never its own backup, and a link at a backup name is never followed.
#pragma once

#include <string>
#include <vector>

#include "FileOps.h"

// The names the backup of the program file `name` may take, in order: its name without
// extension plus `chosenExt`, then ".B01" to ".B09" (those not yet named).
std::vector<std::string> BackupNames(const std::string& name, const std::string& chosenExt);

// Whether `name` is named like a backup of VOKRA's: its extension is `chosenExt` or one of ".BAK",
// ".B01" to ".B09", in any letter case.
bool IsBackupName(const std::string& name, const std::string& chosenExt);

struct BackupPlace {
    std::string strName;
    std::string strShown;
    bool bMade = false;  // false: that file already held the program file as it is now
};

// Gives the held program file (whose bytes are `image`) its backup: the first of `names` that is
// free, made now, or that already holds exactly the program file. A name that is a link, a
// folder, or the program file itself is passed over. Raises NoBackupName when none is left.
BackupPlace PlaceBackup(const CHeldFile& program, const FileImage& image,
                        const std::vector<std::string>& names, bool bSyncLater = false);

// The backup a restore takes the program file back from: the first of the files at `names` that is
// as long as the program file (a translation keeps a file's length). Since a backup is never
// replaced, the first holds the file as it was before VOKRA first changed it; later ones hold
// later states. Raises NoBackup when there is none.
struct RestoreSource {
    std::string strName;
    std::string strShown;
    bool bDiffers = false;
};
RestoreSource FindBackupToRestore(const CHeldFile& program, const FileImage& image,
                                  const std::vector<std::string>& names);

// Puts the program file at `path` back as its backup holds it (the backup chosen as above; names
// from `chosenExt`), replacing it as a whole, with the same lock and checks as a pass. Returns the
// backup's name as shown, and whether the file changed (it may already have been the original).
struct RestoreResult {
    std::string strBackup;
    bool bChanged = false;
};
RestoreResult RestoreFromBackup(const std::string& path, const std::string& chosenExt,
                                ELockWait wait);
