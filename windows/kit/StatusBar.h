// The status bar along a window's bottom edge: five panes side by side, each ending at its right
// edge in pixels, with a text each and, optionally, the logo painted over pane 1.
#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>
#include <array>

class CStatusBar : public QWidget {
  public:
    static constexpr int kPanes = 5;

    explicit CStatusBar(QWidget* parent);

    void SetParts(const std::array<int, kPanes>& rightEdges);
    void SetText(int pane, const QString& text, bool bBorderless = false);
    const QString& Text(int pane) const { return m_astrTexts[static_cast<std::size_t>(pane)]; }
    void SetLogo(const QPixmap& logo) { m_logo = logo; }
    // The bar's height less 2: the logo is stretched to that height less 1.
    int InnerHeight() const { return height() - 2; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::array<int, kPanes> m_anParts{};
    std::array<QString, kPanes> m_astrTexts;
    std::array<bool, kPanes> m_abBorderless{};
    QPixmap m_logo;
};
