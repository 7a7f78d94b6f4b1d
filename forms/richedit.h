#pragma once

#include "forms/wincontrol.h"

#include <QStringList>
#include <QStringView>

#include <functional>

class QTextEdit;

namespace forms {

// A multi-line text area with character formatting. Lines wrap at the area's width when
// wordWrap is on; Tab moves the focus on, Ctrl+Tab types a tab.
class TRichEdit : public TWinControl {
public:
    enum class ScrollBars { None, Horizontal, Vertical, Both };

    explicit TRichEdit(TComponent* owner);
    QTextEdit* textEdit() const { return edit_; }

    QString plainText() const;
    void setPlainText(const QString& text);
    QStringList lines() const;
    void setLines(const QStringList& lines);

    // Visits the lines as the area shows them: a paragraph that wraps at the area's width gives
    // one line per screen line. Each line is cut to maxLength characters; an empty last line is
    // left out, as the platform's line count leaves it out.
    void forEachDisplayedLine(int maxLength,
                              const std::function<void(QStringView line)>& visit) const;

    bool readOnly() const;
    void setReadOnly(bool readOnly);
    bool modified() const;
    void setModified(bool modified);
    bool wordWrap() const { return wordWrap_; }
    void setWordWrap(bool wrap);
    ScrollBars scrollBars() const { return scrollBars_; }
    void setScrollBars(ScrollBars bars);

    bool keyDefault(const QKeyEvent& event) override;

protected:
    QPalette::ColorRole colorRole() const override { return QPalette::Base; }
    void applyFont() override;

private:
    void updateScrollBars();

    QTextEdit* edit_;
    bool wordWrap_ = true;
    ScrollBars scrollBars_ = ScrollBars::None;
};

} // namespace forms
