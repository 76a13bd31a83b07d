#include "FileChoice.h"

#include <QFileDialog>

#include "Texts.h"

namespace {

// The file filter of Load in Qt's form: "label (patterns)" entries separated by ";;", every
// pattern matching without regard to case (*.EXE also takes app.exe and App.Exe).
QString LoadFilter() {
    const QStringList parts = QString::fromUtf8(texts::kLoadFilter).split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].trimmed().split(';')) {
            QString anyCase;
            for (const QChar c : pattern) {
                anyCase += c.isLetter() ? QString("[%1%2]").arg(c.toUpper(), c.toLower()) : c;
            }
            patterns << anyCase;
        }
        filters << parts[i] + " (" + patterns.join(' ') + ")";
    }
    return filters.join(";;");
}

}  // namespace

QStringList ChooseProgramFiles(QWidget* parent) {
    return QFileDialog::getOpenFileNames(parent, QString(), QString(), LoadFilter(), nullptr,
                                         QFileDialog::HideNameFilterDetails);
}
