#include "RestoreCommand.h"

#include <QStringList>

#include "Backups.h"
#include "FailureReport.h"
#include "FileError.h"
#include "Texts.h"

QAction* AddRestoreCommand(QWidget& window, const std::function<void()>& restore) {
    auto* action = new QAction(QString::fromUtf8(texts::kRestoreCommand), &window);
    QObject::connect(action, &QAction::triggered, &window,
                     [&window, restore] { RunUserAction(&window, restore); });
    window.addAction(action);
    window.setContextMenuPolicy(Qt::ActionsContextMenu);
    return action;
}

void RestoreChosenFiles(QWidget& window, const std::array<std::string, kMaxFiles>& files, int count,
                        const std::string& chosenExt) {
    QStringList told;
    struct TellAtEnd {
        QWidget& window;
        QStringList& told;
        ~TellAtEnd() { ReportNoticesLater(&window, told); }
    } tell{window, told};
    for (int i = 0; i < count; ++i) {
        const std::string& path = files[static_cast<std::size_t>(i)];
        const RestoreResult result = RestoreFromBackup(path, chosenExt, ELockWait::No);
        told.push_back(QString::fromStdString(
            FillIn(result.bChanged ? texts::kRestoreDone : texts::kRestoreAlready, path,
                   result.strBackup)));
    }
}
