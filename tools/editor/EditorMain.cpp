// vokra-edit FILE: the text editor for dictionaries and translation text files, which the
// manual window starts on a translation text file by its bare name, in the current directory.
#include <QApplication>
#include <cstdio>
#include <exception>

#include "CompanionTexts.h"
#include "EditorWindow.h"
#include "FailureReport.h"
#include "FileError.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fputs(texts::kEditorUsage, stderr);
        return 2;
    }
    CEditorWindow window;
    try {
        window.Open(argv[1]);
    } catch (const std::exception& failure) {
        ShowFailureBox(nullptr, QString::fromStdString(FailureText(failure)));
        return 1;
    }
    window.show();
    return QApplication::exec();
}
