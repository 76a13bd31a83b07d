#include "EditorWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "CompanionTexts.h"
#include "DialogBuilder.h"
#include "DictionaryCode.h"
#include "FailureReport.h"
#include "FileError.h"
#include "FileOps.h"

namespace {

QString Text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// Shows the placeholders of kept bytes as solid blocks: the Ming faces draw glyphs of their own
// in the private-use block, which would pass for characters. The status bar names the byte.
class CKeptByteHighlighter : public QSyntaxHighlighter {
  public:
    explicit CKeptByteHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {
        m_format.setBackground(QColor(230, 90, 90));
        m_format.setForeground(QColor(230, 90, 90));
    }

  protected:
    void highlightBlock(const QString& text) override {
        for (int i = 0; i < text.size(); ++i) {
            if (IsKeptByte(text[i].unicode())) {
                setFormat(i, 1, m_format);
            }
        }
    }

  private:
    QTextCharFormat m_format;
};

// The document's text as the file holds it: blocks joined by line breaks. A line separator that
// Shift+Enter may have typed is a line break too.
QString DocumentText(const QTextDocument& document) {
    QString text;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin()) {
            text += QChar('\n');
        }
        text += block.text();
    }
    text.replace(QChar::LineSeparator, QChar('\n'));
    text.replace(QChar::ParagraphSeparator, QChar('\n'));
    return text;
}

// Where the code point at `index` of `text` lies: its place in the UTF-16 text (the document's
// cursor position), and its line and column, both counted from 1 in characters.
struct Place {
    int position = 0;
    int line = 1;
    int column = 1;
};
Place PlaceOf(const QString& text, std::size_t index) {
    Place place;
    std::size_t codePoint = 0;
    for (int i = 0; i < text.size() && codePoint < index; ++codePoint) {
        if (text[i] == QChar('\n')) {
            ++place.line;
            place.column = 1;
        } else {
            ++place.column;
        }
        i += text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        place.position = i;
    }
    return place;
}

class CFindDialog : public QDialog {
  public:
    CFindDialog(QWidget* parent, const QString& text, bool bMatchCase) : QDialog(parent) {
        setWindowTitle(Text(texts::kFindTitle));
        m_pText = new QLineEdit(text, this);
        m_pMatchCase = new QCheckBox(Text(texts::kFindMatchCase), this);
        m_pMatchCase->setChecked(bMatchCase);
        auto* buttons = new QDialogButtonBox(this);
        buttons->addButton(Text(texts::kFindButton), QDialogButtonBox::AcceptRole);
        buttons->addButton(Text(texts::kFindCancel), QDialogButtonBox::RejectRole);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        auto* layout = new QFormLayout(this);
        layout->addRow(Text(texts::kFindLabel), m_pText);
        layout->addRow(m_pMatchCase);
        layout->addRow(buttons);
        m_pText->selectAll();
    }

    QString FindText() const { return m_pText->text(); }
    bool MatchCase() const { return m_pMatchCase->isChecked(); }

  private:
    QLineEdit* m_pText;
    QCheckBox* m_pMatchCase;
};

}  // namespace

CEditorWindow::CEditorWindow(QWidget* parent) : QMainWindow(parent) {
    m_pEditor = new QPlainTextEdit(this);
    m_pEditor->setFont(TemplateFont("細明體", 12));
    // One file line per screen line: the line numbers of the messages are the lines seen.
    m_pEditor->setLineWrapMode(QPlainTextEdit::NoWrap);
    new CKeptByteHighlighter(m_pEditor->document());
    setCentralWidget(m_pEditor);
    resize(800, 600);
    BuildMenus();

    connect(m_pEditor->document(), &QTextDocument::modificationChanged, this,
            &QWidget::setWindowModified);
    connect(m_pEditor, &QPlainTextEdit::cursorPositionChanged, this, [this] { ShowCursorPlace(); });

    m_fnAskSave = [this](const QString& question) {
        return QMessageBox::question(this, windowTitle().remove(QStringLiteral("[*]")), question,
                                     QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                                     QMessageBox::Save);
    };
    m_fnNotify = [this](const QString& text) {
        QMessageBox::information(this, windowTitle().remove(QStringLiteral("[*]")), text);
    };
}

namespace {

// A menu entry with its shortcut, calling `slot` on `receiver`.
template <class Receiver, class Slot>
QAction* AddEntry(QMenu* menu, const char* text, QKeySequence::StandardKey key, Receiver* receiver,
                  Slot slot) {
    QAction* action = menu->addAction(Text(text));
    action->setShortcut(key);
    QObject::connect(action, &QAction::triggered, receiver, slot);
    return action;
}

}  // namespace

void CEditorWindow::BuildMenus() {
    QMenu* file = menuBar()->addMenu(Text(texts::kEditorMenuFile));
    AddEntry(file, texts::kEditorSave, QKeySequence::Save, this, [this] { Save(); });
    file->addSeparator();
    AddEntry(file, texts::kEditorQuit, QKeySequence::Quit, this, [this] { close(); });

    QMenu* edit = menuBar()->addMenu(Text(texts::kEditorMenuEdit));
    QAction* undo =
        AddEntry(edit, texts::kEditorUndo, QKeySequence::Undo, m_pEditor, &QPlainTextEdit::undo);
    QAction* redo =
        AddEntry(edit, texts::kEditorRedo, QKeySequence::Redo, m_pEditor, &QPlainTextEdit::redo);
    undo->setEnabled(false);
    redo->setEnabled(false);
    connect(m_pEditor, &QPlainTextEdit::undoAvailable, undo, &QAction::setEnabled);
    connect(m_pEditor, &QPlainTextEdit::redoAvailable, redo, &QAction::setEnabled);
    edit->addSeparator();
    AddEntry(edit, texts::kEditorCut, QKeySequence::Cut, m_pEditor, &QPlainTextEdit::cut);
    AddEntry(edit, texts::kEditorCopy, QKeySequence::Copy, m_pEditor, &QPlainTextEdit::copy);
    AddEntry(edit, texts::kEditorPaste, QKeySequence::Paste, m_pEditor, &QPlainTextEdit::paste);
    AddEntry(edit, texts::kEditorSelectAll, QKeySequence::SelectAll, m_pEditor,
             &QPlainTextEdit::selectAll);
    edit->addSeparator();
    AddEntry(edit, texts::kEditorFind, QKeySequence::Find, this, [this] { ShowFind(); });
    AddEntry(edit, texts::kEditorFindNext, QKeySequence::FindNext, this, [this] {
        if (m_strFindText.isEmpty()) {
            ShowFind();
        } else {
            FindNext(m_strFindText, m_bFindMatchCase);
        }
    });
}

void CEditorWindow::Open(const std::string& path) {
    const FileImage file = ReadWholeFile(path);
    const std::string_view bytes(reinterpret_cast<const char*>(file.pBytes.get()),
                                 static_cast<std::size_t>(file.nSize));
    DictionaryFileText decoded = DecodeDictionaryFile(bytes);
    m_pEditor->setPlainText(QString::fromStdU32String(decoded.strText));
    m_pEditor->document()->setModified(false);
    m_original = std::move(decoded);
    m_strPath = path;
    setWindowTitle(
        Text(texts::kEditorTitle).arg(QFileInfo(QString::fromLocal8Bit(path.c_str())).fileName()));
    setWindowModified(false);
}

bool CEditorWindow::Save() {
    const QString text = DocumentText(*m_pEditor->document());
    std::string bytes;
    std::size_t bad = 0;
    if (!EncodeDictionaryFile(text.toStdU32String(), m_original, bytes, &bad)) {
        const Place place = PlaceOf(text, bad);
        QTextCursor cursor(m_pEditor->document());
        cursor.setPosition(place.position);
        cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
        m_pEditor->setTextCursor(cursor);
        ShowFailureBox(this, Text(texts::kEditorUncodable)
                                 .arg(place.line)
                                 .arg(place.column)
                                 .arg(cursor.selectedText()));
        return false;
    }
    try {
        // A link keeps pointing at the file: the file it leads to is the one replaced.
        const QFileInfo info(QString::fromLocal8Bit(m_strPath.c_str()));
        const QString target = info.isSymLink() ? info.canonicalFilePath() : QString();
        ReplaceWholeFile(target.isEmpty() ? m_strPath : target.toLocal8Bit().toStdString(),
                         bytes.data(), static_cast<std::int64_t>(bytes.size()));
    } catch (const std::exception& failure) {
        ShowFailureBox(this, QString::fromStdString(FailureText(failure)));
        return false;
    }
    m_original = DecodeDictionaryFile(bytes);
    m_pEditor->document()->setModified(false);
    return true;
}

bool CEditorWindow::FindNext(const QString& text, bool bMatchCase) {
    m_strFindText = text;
    m_bFindMatchCase = bMatchCase;
    if (text.isEmpty()) {
        return false;
    }
    const QTextDocument::FindFlags flags =
        bMatchCase ? QTextDocument::FindCaseSensitively : QTextDocument::FindFlags();
    QTextDocument* document = m_pEditor->document();
    QTextCursor found = document->find(text, m_pEditor->textCursor(), flags);
    if (found.isNull()) {
        found = document->find(text, QTextCursor(document), flags);
    }
    if (found.isNull()) {
        m_fnNotify(Text(texts::kEditorNotFound).arg(text));
        return false;
    }
    m_pEditor->setTextCursor(found);
    return true;
}

void CEditorWindow::ShowFind() {
    CFindDialog dialog(this, m_strFindText, m_bFindMatchCase);
    if (dialog.exec() == QDialog::Accepted) {
        FindNext(dialog.FindText(), dialog.MatchCase());
    }
}

void CEditorWindow::ShowCursorPlace() {
    const QTextCursor cursor = m_pEditor->textCursor();
    QString text = Text(texts::kEditorPosition)
                       .arg(cursor.blockNumber() + 1)
                       .arg(cursor.positionInBlock() + 1);
    // The character after the cursor, when it is a kept byte: what it stands for.
    const QString line = cursor.block().text();
    const int at = cursor.positionInBlock();
    if (at < line.size() && IsKeptByte(line[at].unicode())) {
        const unsigned byte = line[at].unicode() - kKeptByteBase;
        text += QStringLiteral("    ") +
                Text(texts::kEditorKeptByte)
                    .arg(QString::number(byte, 16).toUpper().rightJustified(2, QChar('0')));
    }
    statusBar()->showMessage(text);
}

void CEditorWindow::closeEvent(QCloseEvent* event) {
    if (!m_pEditor->document()->isModified()) {
        event->accept();
        return;
    }
    const QString name = QFileInfo(QString::fromLocal8Bit(m_strPath.c_str())).fileName();
    switch (m_fnAskSave(Text(texts::kEditorAskSave).arg(name))) {
        case QMessageBox::Save:
            if (Save()) {
                event->accept();
            } else {
                event->ignore();
            }
            return;
        case QMessageBox::Discard:
            event->accept();
            return;
        default:
            event->ignore();
            return;
    }
}
