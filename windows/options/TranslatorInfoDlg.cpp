#include "TranslatorInfoDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cstring>

#include "FailureReport.h"
#include "Texts.h"
#include "TranslatorInfoDlgIds.h"
#include "TranslatorRecord.h"
#include "WindowText.h"

using namespace ids::translator;

namespace {

// At most 127 bytes, cut before a double-byte character that would not fit whole.
std::string CutToSlot(const std::string& text) {
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t next = end + (static_cast<unsigned char>(text[end]) >= 0x80 ? 2 : 1);
        if (next > static_cast<std::size_t>(kTranslatorSlotSize - 1)) {
            break;
        }
        end = next;
    }
    return text.substr(0, end);
}

}  // namespace

CTranslatorInfoDlg::CTranslatorInfoDlg(AppState& state, QWidget* parent)
    : QDialog(parent), m_state(state) {
    OnInitDialog();
}

void CTranslatorInfoDlg::OnInitDialog() {
    m_pControls =
        std::make_unique<CDialogControls>(*this, FindDialogTemplate(ids::translator::kTemplate));
    setWindowIcon(QIcon(":/vokra/icon128.xpm"));
    m_pControls->Get<QLineEdit>(kName)->setText(FromDictionaryCode(m_state.m_szTranslatorName));
    m_pControls->Get<QLineEdit>(kUrl)->setText(FromDictionaryCode(m_state.m_szTranslatorUrl));
    m_pControls->Get<QLineEdit>(kEmail)->setText(FromDictionaryCode(m_state.m_szTranslatorEmail));
    connect(m_pControls->Get<QPushButton>(kConfirm), &QPushButton::clicked, this,
            [this] { RunUserAction(this, [this] { OnTranslatorConfirm(); }); });
    connect(m_pControls->Get<QPushButton>(kCancel), &QPushButton::clicked, this, &QDialog::reject);
}

void CTranslatorInfoDlg::OnTranslatorConfirm() {
    struct Field {
        int id;
        const char* label;
        char* slot;
    };
    const Field fields[] = {{kName, "姓名", m_state.m_szTranslatorName},
                            {kUrl, "網址", m_state.m_szTranslatorUrl},
                            {kEmail, "信箱", m_state.m_szTranslatorEmail}};
    // Every text must have a code before any is taken: a character the code cannot hold would
    // otherwise reach the translation text files as garbage.
    std::string encoded[3];
    for (int i = 0; i < 3; ++i) {
        const QString text = m_pControls->Get<QLineEdit>(fields[i].id)->text();
        int bad = 0;
        if (!ToDictionaryCode(text, encoded[i], &bad)) {
            ShowFailureBox(this, QString::fromUtf8(texts::kUncodableCharacter)
                                     .arg(QString::fromUtf8(fields[i].label))
                                     .arg(bad + 1)
                                     .arg(text.mid(bad, text[bad].isHighSurrogate() ? 2 : 1)));
            return;
        }
    }
    bool bAnyText = false;
    for (int i = 0; i < 3; ++i) {
        const std::string text = CutToSlot(encoded[i]);
        std::memset(fields[i].slot, 0, kTranslatorSlotSize + 1);
        std::memcpy(fields[i].slot, text.data(), text.size());
        bAnyText = bAnyText || !text.empty();
    }
    if (bAnyText) {
        // A failing write is reported and the dialog stays open with the typed texts.
        WriteTranslatorRecord(m_state);
    }
    close();
}
