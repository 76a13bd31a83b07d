// The choice of program files for Load in the main and the manual window.
#pragma once

#include <QStringList>
#include <QWidget>

// The file dialog with several files at once and the program-file filter (patterns matched in
// any letter case). An empty list when cancelled.
QStringList ChooseProgramFiles(QWidget* parent);
