// Restore, offered by the windows in their context menu (a right click anywhere on the window),
// where it changes nothing of the windows' layout: every chosen program file is put back as its
// backup holds it.
#pragma once

#include <QAction>
#include <QWidget>
#include <array>
#include <string>

#include "AppState.h"

// Adds the command to the window's context menu; `restore` runs when the user chooses it.
QAction* AddRestoreCommand(QWidget& window, const std::function<void()>& restore);

// Restores the first `count` files of `files` from their backups (named with `chosenExt`), one
// after the other; the user is told what became of each. A file error ends it by throwing.
void RestoreChosenFiles(QWidget& window, const std::array<std::string, kMaxFiles>& files, int count,
                        const std::string& chosenExt);
