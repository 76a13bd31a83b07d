// vokra-edit's window: a plain text editor for files in the dictionary code (BIG5 with the
// extension codes of the conversion tables), such as translation text files and dictionaries.
//
// What is shown is decoded through the project's own tables, and what is saved is encoded
// through them, so a saved file holds exactly the characters the user saw. Nothing is lost on
// the way: every line keeps the line end it was read with (CR LF, or a line feed alone) as long
// as it is unchanged, and a line typed or changed ends with CR LF, the file's own line end; every
// byte that is not a character of the tables (control bytes, a lone carriage return, a broken
// double-byte character) shows as a marked placeholder and is saved as the byte it was. A file
// saved without changes is byte for byte the file that was opened.
#pragma once

#include <QMainWindow>
#include <QMessageBox>
#include <QString>
#include <functional>
#include <string>

#include "DictionaryCode.h"

class QPlainTextEdit;
class QAction;

class CEditorWindow : public QMainWindow {
  public:
    explicit CEditorWindow(QWidget* parent = nullptr);

    // Reads the file (a bare name is found in the current directory) and shows it, unmodified.
    // A file error is raised as CFileError and leaves the window as it was.
    void Open(const std::string& path);

    // Encodes the text and replaces the file with it, by way of a temporary beside it, so that a
    // failure never leaves the file half written. A character the tables cannot hold is refused
    // with a box naming its line and column, and nothing is written; a file error is shown in
    // its box. Returns whether the file was saved.
    bool Save();

    // Searches for `text` from the cursor on, going round from the start once; selects the match
    // and returns true, or tells the user that there is none and returns false.
    bool FindNext(const QString& text, bool bMatchCase);

    QPlainTextEdit* Editor() const { return m_pEditor; }
    const std::string& Path() const { return m_strPath; }

    // How the window asks whether to save before closing (Save, Discard or Cancel) and how it
    // tells the user something; tests replace them, which otherwise show message boxes.
    std::function<QMessageBox::StandardButton(const QString&)> m_fnAskSave;
    std::function<void(const QString&)> m_fnNotify;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildMenus();
    void ShowFind();
    void ShowCursorPlace();

    QPlainTextEdit* m_pEditor = nullptr;
    std::string m_strPath;
    // The file as it was read or last saved: what unchanged lines are recognised by.
    DictionaryFileText m_original;
    QString m_strFindText;
    bool m_bFindMatchCase = false;
};
