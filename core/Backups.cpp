#include "Backups.h"

#include <algorithm>
#include <cstring>

#include "FileError.h"
#include "TranslationFile.h"

namespace {

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    });
    return text;
}

std::string Stem(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

// The file of that name beside the program, named in messages as the program is, with its folder.
FileRef Beside(const CHeldFile& program, const std::string& name) {
    const FileRef& ref = program.Ref();
    const std::string prefix = ref.strShown.substr(0, ref.strShown.size() - ref.strName.size());
    return {ref.folder, name, prefix + name};
}

// The program file itself under its own name, or under the same name in another letter case on a
// file system that does not tell them apart (a second name of the file is a backup, not itself).
bool IsProgramItself(const CHeldFile& program, const std::string& name, const FileEntry& entry) {
    const FileIdentity& held = program.Identity();
    const bool bSameFile =
        entry.identity.nDevice == held.nDevice && entry.identity.nInode == held.nInode;
    return name == program.Ref().strName ||
           (bSameFile && Upper(name) == Upper(program.Ref().strName));
}

}  // namespace

std::vector<std::string> BackupNames(const std::string& name, const std::string& chosenExt) {
    const std::string stem = Stem(name);
    std::vector<std::string> names{stem + chosenExt};
    for (const char* ext : BackupExtensions) {
        if (Upper(ext) != Upper(chosenExt) && std::string(ext) != ".BAK") {
            names.push_back(stem + ext);
        }
    }
    return names;
}

bool IsBackupName(const std::string& name, const std::string& chosenExt) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos) {
        return false;
    }
    const std::string ext = Upper(name.substr(dot));
    if (!chosenExt.empty() && ext == Upper(chosenExt)) {
        return true;
    }
    return std::any_of(std::begin(BackupExtensions), std::end(BackupExtensions),
                       [&ext](const char* backup) { return ext == backup; });
}

BackupPlace PlaceBackup(const CHeldFile& program, const FileImage& image,
                        const std::vector<std::string>& names, bool bSyncLater) {
    const FileIdentity& held = program.Identity();
    for (const std::string& name : names) {
        const FileRef backup = Beside(program, name);
        // A name taken between the look and the claim is looked at again.
        for (int look = 0; look < 2; ++look) {
            const FileEntry entry = LookAt(backup);
            if (entry.kind == EEntry::None) {
                if (ClaimBackup(program, backup, bSyncLater)) {
                    return {name, backup.strShown, true};
                }
                continue;
            }
            if (entry.kind != EEntry::File || IsProgramItself(program, name, entry)) {
                break;
            }
            // A second name of the program file (a backup an interrupted run made) or a file
            // holding exactly its bytes: the backup is there already.
            const bool bSameFile =
                entry.identity.nDevice == held.nDevice && entry.identity.nInode == held.nInode;
            if (bSameFile || HoldsExactly(backup, image.pBytes.get(), image.nSize)) {
                return {name, backup.strShown, false};
            }
            break;
        }
    }
    throw CFileError(EFileErrorCause::NoBackupName, program.Ref().strShown);
}

RestoreSource FindBackupToRestore(const CHeldFile& program, const FileImage& image,
                                  const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        const FileRef backup = Beside(program, name);
        const FileEntry entry = LookAt(backup);
        if (entry.kind != EEntry::File || entry.identity.nSize != image.nSize ||
            IsProgramItself(program, name, entry)) {
            continue;
        }
        return {name, backup.strShown, !HoldsExactly(backup, image.pBytes.get(), image.nSize)};
    }
    throw CFileError(EFileErrorCause::NoBackup, program.Ref().strShown);
}

RestoreResult RestoreFromBackup(const std::string& path, const std::string& chosenExt,
                                ELockWait wait) {
    const FilePlace place(path);
    const CHeldFile program(place.Ref(), wait, true);
    const FileImage image = program.Read();
    const RestoreSource source =
        FindBackupToRestore(program, image, BackupNames(place.strName, chosenExt));
    if (source.bDiffers) {
        const FileImage original = ReadWholeFile({place.folder, source.strName, source.strShown});
        ReplaceHeldFile(program, original.pBytes.get(), original.nSize);
    }
    return {source.strShown, source.bDiffers};
}
