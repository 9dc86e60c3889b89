#include "framework/controls/RichEdit.h"

#include "framework/base/QtText.h"
#include "framework/drawing/DeviceContext.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>

#include <cmath>
#include <memory>

namespace fw {

namespace {

constexpr qreal kMargin = 1;

QTextCharFormat ToQFormat(const RichCharFormat& f, unsigned mask) {
    QTextCharFormat q;
    if (mask & CFM_BOLD)
        q.setFontWeight(f.bold ? QFont::Bold : QFont::Normal);
    if (mask & CFM_ITALIC)
        q.setFontItalic(f.italic);
    if (mask & CFM_UNDERLINE)
        q.setFontUnderline(f.underline);
    if (mask & CFM_STRIKEOUT)
        q.setFontStrikeOut(f.strikeOut);
    if ((mask & CFM_FACE) && !f.face.empty())
        q.setFontFamilies({ToQString(f.face)});
    if ((mask & CFM_SIZE) && f.sizeTwips > 0)
        q.setFontPointSize(f.sizeTwips / 20.0);
    if ((mask & CFM_COLOR) && f.color != kRichAutoColor)
        q.setForeground(ToQColor(f.color));
    return q;
}

RichCharFormat FromQFormat(const QTextCharFormat& q) {
    RichCharFormat f;
    f.bold = q.fontWeight() >= QFont::DemiBold;
    f.italic = q.fontItalic();
    f.underline = q.fontUnderline();
    f.strikeOut = q.fontStrikeOut();
    if (q.hasProperty(QTextFormat::FontFamilies)) {
        const QStringList families = q.fontFamilies().toStringList();
        if (!families.isEmpty())
            f.face = families.first().toStdString();
    }
    if (q.hasProperty(QTextFormat::FontPointSize))
        f.sizeTwips = static_cast<int>(std::lround(q.fontPointSize() * 20));
    if (q.hasProperty(QTextFormat::ForegroundBrush))
        f.color = FromQColor(q.foreground().color());
    return f;
}

Qt::Alignment ToQAlign(RichAlign a) {
    return a == RichAlign::Center  ? Qt::AlignHCenter
           : a == RichAlign::Right ? Qt::AlignRight
                                   : Qt::AlignLeft;
}

RichAlign FromQAlign(Qt::Alignment a) {
    if (a & Qt::AlignHCenter)
        return RichAlign::Center;
    if (a & Qt::AlignRight)
        return RichAlign::Right;
    return RichAlign::Left;
}

// Line breaks inside a paragraph are the document's line separators.
QString RunText(std::string_view text) {
    QString q = ToQString(text);
    q.replace(QLatin1Char('\n'), QChar::LineSeparator);
    q.remove(QLatin1Char('\r'));
    return q;
}

}  // namespace

RichEdit::RichEdit() = default;

bool RichEdit::Create(DWORD style, const Rect& rect, Window* parent, UINT id) {
    if (!Window::Create(parent, rect, id, style | WS_CHILD))
        return false;
    edit_ = new QTextEdit(this);
    edit_->setAcceptRichText(false);
    edit_->setFrameShape(QFrame::NoFrame);
    edit_->setTabChangesFocus(true);
    edit_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit_->document()->setDocumentMargin(kMargin);
    connect(edit_, &QTextEdit::textChanged, this, [this] { TextChanged(); });
    SetInner(edit_);
    if (style & ES_READONLY)
        SetReadOnly(true);
    return true;
}

void RichEdit::TextChanged() {
    if (settingByCode_)
        return;
    modified_ = true;
    // The limit counts characters: cut what typing put beyond it.
    if (limit_ > 0 && edit_->document()->characterCount() - 1 > limit_) {
        settingByCode_ = true;
        QTextCursor c(edit_->document());
        c.setPosition(limit_);
        c.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        c.removeSelectedText();
        settingByCode_ = false;
    }
    NotifyParentCommand(EN_CHANGE);
}

void RichEdit::SetContent(const std::vector<RichParagraph>& paragraphs) {
    settingByCode_ = true;
    QTextDocument* doc = edit_->document();
    doc->clear();
    QTextCursor c(doc);
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
        const RichParagraph& p = paragraphs[i];
        QTextBlockFormat block;
        block.setAlignment(ToQAlign(p.align));
        if (i == 0)
            c.setBlockFormat(block);
        else
            c.insertBlock(block, QTextCharFormat());
        for (const RichRun& run : p.runs)
            c.insertText(RunText(run.text), ToQFormat(run.format, CFM_ALL));
    }
    settingByCode_ = false;
    modified_ = false;
    NotifyParentCommand(EN_CHANGE);
}

std::vector<RichParagraph> RichEdit::GetContent() const {
    std::vector<RichParagraph> out;
    for (QTextBlock b = edit_->document()->begin(); b.isValid(); b = b.next()) {
        RichParagraph p;
        p.align = FromQAlign(b.blockFormat().alignment());
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (!f.isValid())
                continue;
            QString text = f.text();
            text.replace(QChar::LineSeparator, QLatin1Char('\n'));
            p.runs.push_back({text.toStdString(), FromQFormat(f.charFormat())});
        }
        out.push_back(std::move(p));
    }
    return out;
}

void RichEdit::SetWindowText(std::string_view text) {
    settingByCode_ = true;
    edit_->setPlainText(ToQString(text));
    settingByCode_ = false;
    modified_ = false;
    NotifyParentCommand(EN_CHANGE);
}

std::string RichEdit::GetWindowText() const {
    return edit_->toPlainText().toStdString();
}

int RichEdit::GetTextLength() const {
    return edit_->document()->characterCount() - 1;
}

void RichEdit::SetSel(int start, int end) {
    QTextCursor c = edit_->textCursor();
    const int len = GetTextLength();
    if (start < 0) {
        c.clearSelection();
    } else {
        if (end < 0 || end > len)
            end = len;
        c.setPosition(std::min(start, len));
        c.setPosition(end, QTextCursor::KeepAnchor);
    }
    edit_->setTextCursor(c);
}

void RichEdit::GetSel(int& start, int& end) const {
    const QTextCursor c = edit_->textCursor();
    start = c.selectionStart();
    end = c.selectionEnd();
}

std::string RichEdit::GetSelText() const {
    QString text = edit_->textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text.toStdString();
}

void RichEdit::ReplaceSel(std::string_view text) {
    QTextCursor c = edit_->textCursor();
    c.insertText(ToQString(text));
    edit_->setTextCursor(c);
}

int RichEdit::LineFromChar(int index) const {
    const QTextBlock block = edit_->document()->findBlock(std::max(0, index));
    if (!block.isValid())
        return std::max(0, GetLineCount() - 1);
    int line = 0;
    for (QTextBlock b = edit_->document()->begin(); b != block; b = b.next())
        line += std::max(1, b.layout() ? b.layout()->lineCount() : 1);
    if (const QTextLayout* layout = block.layout(); layout && layout->lineCount() > 0) {
        const QTextLine l = layout->lineForTextPosition(index - block.position());
        if (l.isValid())
            line += l.lineNumber();
    }
    return line;
}

int RichEdit::GetLineCount() const {
    int lines = 0;
    for (QTextBlock b = edit_->document()->begin(); b.isValid(); b = b.next())
        lines += std::max(1, b.layout() ? b.layout()->lineCount() : 1);
    return lines;
}

void RichEdit::SetCharFormat(const RichCharFormat& format, unsigned mask, bool all) {
    QTextCursor c = edit_->textCursor();
    if (all)
        c.select(QTextCursor::Document);
    c.mergeCharFormat(ToQFormat(format, mask));
    if (!all)
        edit_->mergeCurrentCharFormat(ToQFormat(format, mask));
}

void RichEdit::SetAlignment(RichAlign align, bool all) {
    QTextCursor c = edit_->textCursor();
    if (all)
        c.select(QTextCursor::Document);
    QTextBlockFormat block;
    block.setAlignment(ToQAlign(align));
    c.mergeBlockFormat(block);
}

RichCharFormat RichEdit::GetSelectionCharFormat() const {
    return FromQFormat(edit_->textCursor().charFormat());
}

RichAlign RichEdit::GetSelectionAlignment() const {
    return FromQAlign(edit_->textCursor().blockFormat().alignment());
}

void RichEdit::SetDefaultFont(const LogFont& font) {
    QImage scratch(1, 1, QImage::Format_RGB32);
    DeviceContext dc(&scratch);
    dc.SelectFont(font);
    edit_->document()->setDefaultFont(dc.RealizedFont());
}

void RichEdit::SetBackgroundColor(ColorRef color) {
    background_ = color;
    QPalette pal = edit_->palette();
    pal.setColor(QPalette::Base, ToQColor(color));
    edit_->setPalette(pal);
}

void RichEdit::SetReadOnly(bool readOnly) {
    edit_->setReadOnly(readOnly);
    ModifyStyle(readOnly ? 0 : ES_READONLY, readOnly ? ES_READONLY : 0);
}

bool RichEdit::IsReadOnly() const {
    return edit_->isReadOnly();
}

int RichEdit::RequiredHeight(int width) const {
    const std::unique_ptr<QTextDocument> doc(edit_->document()->clone());
    doc->setTextWidth(std::max(1, width));
    return static_cast<int>(std::ceil(doc->size().height()));
}

void RichEdit::Render(DeviceContext& dc, const Rect& r) const {
    if (r.Width() <= 0 || r.Height() <= 0)
        return;
    const std::unique_ptr<QTextDocument> doc(edit_->document()->clone());
    doc->setTextWidth(r.Width());
    QImage image(r.Width(), r.Height(), QImage::Format_RGB32);
    image.fill(ToQColor(background_));
    {
        QPainter painter(&image);
        QAbstractTextDocumentLayout::PaintContext context;
        context.palette.setColor(QPalette::Text, Qt::black);
        context.clip = QRectF(0, 0, r.Width(), r.Height());
        painter.setClipRect(context.clip);
        doc->documentLayout()->draw(&painter, context);
    }
    DeviceContext mem;
    mem.CreateCompatibleDC(&dc);
    mem.SelectBitmap(Bitmap::FromImage(image));
    dc.BitBlt(r.left, r.top, r.Width(), r.Height(), &mem, 0, 0, SRCCOPY);
}

}  // namespace fw
