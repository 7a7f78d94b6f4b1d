#include "forms/richedit.h"

#include <QAbstractTextDocumentLayout>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>

namespace forms {

TRichEdit::TRichEdit(TComponent* owner)
    : TWinControl(owner)
    , edit_(new QTextEdit)
{
    edit_->setAcceptRichText(false);
    edit_->setTabChangesFocus(true);
    edit_->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setWidget(edit_);
    setTabStop(true);
    setColor(colors::clWindow);
    setWordWrap(true);
    updateScrollBars();
}

QString TRichEdit::plainText() const
{
    return edit_->toPlainText();
}

void TRichEdit::setPlainText(const QString& text)
{
    edit_->setPlainText(text);
}

QStringList TRichEdit::lines() const
{
    return plainText().split(u'\n');
}

void TRichEdit::setLines(const QStringList& lines)
{
    setPlainText(lines.join(u'\n'));
}

void TRichEdit::forEachDisplayedLine(int maxLength,
                                     const std::function<void(QStringView)>& visit) const
{
    // An area that has never been shown has not laid its document out at its width yet. Give
    // the document the width the edit gives it on showing (the viewport's), so the count sees
    // the lines a person will see.
    QTextDocument* doc = edit_->document();
    if (wordWrap_ && !edit_->isVisible() && doc->textWidth() != edit_->viewport()->width())
        doc->setTextWidth(edit_->viewport()->width());
    // The layout runs lazily for long documents; finish it so every block has its lines.
    doc->documentLayout()->documentSize();

    // Every line but the last is handed on at once; the last one only if it is not empty.
    QString last;
    const QTextBlock lastBlock = doc->lastBlock();
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        const QTextLayout* layout = block.layout();
        const int count = layout ? layout->lineCount() : 0;
        for (int i = 0; i < std::max(count, 1); ++i) {
            QStringView line = QStringView(text).left(maxLength);
            if (count > 0) {
                const QTextLine l = layout->lineAt(i);
                line = QStringView(text).mid(l.textStart(), std::min(l.textLength(), maxLength));
            }
            if (block == lastBlock && i == std::max(count, 1) - 1)
                last = line.toString();
            else
                visit(line);
        }
    }
    if (!last.isEmpty())
        visit(last);
}

bool TRichEdit::readOnly() const
{
    return edit_->isReadOnly();
}

void TRichEdit::setReadOnly(bool readOnly)
{
    edit_->setReadOnly(readOnly);
    // A read-only area still takes the focus and its keys, as the platform's does.
    edit_->setFocusPolicy(tabStop() ? Qt::StrongFocus : Qt::ClickFocus);
    edit_->setAttribute(Qt::WA_InputMethodEnabled, !readOnly);
}

bool TRichEdit::modified() const
{
    return edit_->document()->isModified();
}

void TRichEdit::setModified(bool modified)
{
    edit_->document()->setModified(modified);
}

void TRichEdit::setWordWrap(bool wrap)
{
    wordWrap_ = wrap;
    edit_->setLineWrapMode(wrap ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    edit_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    updateScrollBars();
}

void TRichEdit::setScrollBars(ScrollBars bars)
{
    scrollBars_ = bars;
    updateScrollBars();
}

void TRichEdit::updateScrollBars()
{
    const bool v = scrollBars_ == ScrollBars::Vertical || scrollBars_ == ScrollBars::Both;
    const bool h =
        (scrollBars_ == ScrollBars::Horizontal || scrollBars_ == ScrollBars::Both) && !wordWrap_;
    edit_->setVerticalScrollBarPolicy(v ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    edit_->setHorizontalScrollBarPolicy(h ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

bool TRichEdit::keyDefault(const QKeyEvent& event)
{
    // Tab moves the focus on, so Ctrl+Tab is how a tab is typed; Qt's edit ignores it.
    if (event.key() == Qt::Key_Tab && event.modifiers() == Qt::ControlModifier && !readOnly()) {
        edit_->textCursor().insertText(QStringLiteral("\t"));
        return true;
    }
    return false;
}

void TRichEdit::applyFont()
{
    TWinControl::applyFont();
    // Text typed from now on takes the area's font and colour.
    QTextCharFormat f;
    f.setFont(font().toQFont());
    f.setForeground(toQColor(font().color()));
    edit_->setCurrentCharFormat(f);
    edit_->document()->setDefaultFont(font().toQFont());
}

} // namespace forms
