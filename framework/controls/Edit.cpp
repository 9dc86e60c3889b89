#include "framework/controls/Edit.h"
#include "framework/base/QtText.h"
#include "framework/drawing/DeviceContext.h"

#include <QImage>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>

namespace fw {
Edit::Edit() = default;

bool Edit::Create(DWORD style, const Rect& rect, Window* parent, UINT id) {
    if (!Window::Create(parent, rect, id, style | WS_CHILD))
        return false;
    if (style & ES_MULTILINE) {
        plain_ = new QPlainTextEdit(this);
        plain_->setTabChangesFocus(true);
        plain_->setLineWrapMode((style & ES_AUTOHSCROLL) ? QPlainTextEdit::NoWrap
                                                         : QPlainTextEdit::WidgetWidth);
        connect(plain_, &QPlainTextEdit::textChanged, this, [this] { TextChanged(); });
        SetInner(plain_);
    } else {
        line_ = new QLineEdit(this);
        if (style & ES_PASSWORD)
            line_->setEchoMode(QLineEdit::Password);
        if (style & ES_CENTER)
            line_->setAlignment(Qt::AlignHCenter);
        if (style & ES_RIGHT)
            line_->setAlignment(Qt::AlignRight);
        line_->setFrame(false);
        connect(line_, &QLineEdit::textChanged, this, [this] { TextChanged(); });
        SetInner(line_);
    }
    if (style & ES_READONLY)
        SetReadOnly(true);
    return true;
}

void Edit::TextChanged() {
    if (!settingByCode_)
        modified_ = true;
    // A multi-line edit holds its own limit: cut what goes beyond it.
    if (plain_ && limit_ > 0 && plain_->toPlainText().size() > limit_) {
        QTextCursor c = plain_->textCursor();
        c.movePosition(QTextCursor::End);
        c.setPosition(limit_, QTextCursor::KeepAnchor);
        c.removeSelectedText();
        return;  // the removal calls back
    }
    NotifyParentCommand(EN_CHANGE);
}

void Edit::SetWindowText(std::string_view text) {
    settingByCode_ = true;
    if (line_)
        line_->setText(ToQString(text));
    if (plain_)
        plain_->setPlainText(ToQString(text));
    settingByCode_ = false;
    modified_ = false;  // text set by the program is not a change by the user
}

std::string Edit::GetWindowText() const {
    if (line_)
        return line_->text().toStdString();
    if (plain_)
        return plain_->toPlainText().toStdString();
    return {};
}

void Edit::SetSel(int start, int end, bool) {
    if (line_) {
        const int len = static_cast<int>(line_->text().size());
        if (start < 0) {
            line_->deselect();
            return;
        }
        if (end < 0 || end > len)
            end = len;
        start = std::min(start, len);
        // The caret ends at `end`, as a selection made from start to end has it.
        line_->setSelection(start, end - start);
    } else if (plain_) {
        QTextCursor c = plain_->textCursor();
        const int len = static_cast<int>(plain_->toPlainText().size());
        if (start < 0) {
            c.clearSelection();
        } else {
            if (end < 0 || end > len)
                end = len;
            c.setPosition(std::min(start, len));
            c.setPosition(end, QTextCursor::KeepAnchor);
        }
        plain_->setTextCursor(c);
    }
}

void Edit::GetSel(int& start, int& end) const {
    if (line_) {
        if (line_->hasSelectedText()) {
            start = line_->selectionStart();
            end = line_->selectionEnd();
        } else {
            start = end = line_->cursorPosition();
        }
    } else if (plain_) {
        const QTextCursor c = plain_->textCursor();
        start = c.selectionStart();
        end = c.selectionEnd();
    } else {
        start = end = 0;
    }
}

void Edit::ReplaceSel(std::string_view text, bool) {
    if (line_) {
        line_->insert(ToQString(text));
    } else if (plain_) {
        plain_->insertPlainText(ToQString(text));
    }
}

void Edit::LimitText(int maxChars) {
    limit_ = std::max(0, maxChars);
    if (line_)
        line_->setMaxLength(limit_ > 0 ? limit_ : 32767);
}

void Edit::SetReadOnly(bool readOnly) {
    if (line_)
        line_->setReadOnly(readOnly);
    if (plain_)
        plain_->setReadOnly(readOnly);
    ModifyStyle(readOnly ? 0 : ES_READONLY, readOnly ? ES_READONLY : 0);
}

void Edit::SetAlignment(DWORD esAlign) {
    esAlign &= ES_CENTER | ES_RIGHT;
    ModifyStyle(ES_CENTER | ES_RIGHT, esAlign);
    const Qt::Alignment h = esAlign & ES_RIGHT    ? Qt::AlignRight
                            : esAlign & ES_CENTER ? Qt::AlignHCenter
                                                  : Qt::AlignLeft;
    if (line_)
        line_->setAlignment(h | Qt::AlignVCenter);
    if (plain_) {
        QTextOption option = plain_->document()->defaultTextOption();
        option.setAlignment(h);
        plain_->document()->setDefaultTextOption(option);
    }
}

void Edit::SetFont(const LogFont& font) {
    // Realizing and re-laying out the text is not free: a font given again changes nothing.
    if (fontGiven_ && font == font_)
        return;
    fontGiven_ = true;
    font_ = font;
    QImage scratch(1, 1, QImage::Format_RGB32);
    DeviceContext dc(&scratch);
    dc.SelectFont(font);
    const QFont realized = dc.RealizedFont();
    if (QWidget* inner = Inner())
        inner->setFont(realized);
}

void Edit::SetColors(ColorRef text, ColorRef background) {
    if (colorsGiven_ && text == textColor_ && background == bkColor_)
        return;
    colorsGiven_ = true;
    textColor_ = text;
    bkColor_ = background;
    QWidget* inner = Inner();
    if (!inner)
        return;
    QPalette palette = inner->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Text, ToQColor(text));
        palette.setColor(group, QPalette::Base, ToQColor(background));
        palette.setColor(group, QPalette::Window, ToQColor(background));
    }
    inner->setPalette(palette);
    inner->setAutoFillBackground(true);
}

bool Edit::IsReadOnly() const {
    return line_ ? line_->isReadOnly() : (plain_ ? plain_->isReadOnly() : false);
}

int Edit::GetLineCount() const {
    return plain_ ? plain_->document()->blockCount() : 1;
}

void Edit::LineScroll(int lines, int) {
    if (plain_)
        plain_->verticalScrollBar()->setValue(plain_->verticalScrollBar()->value() + lines);
}

LRESULT Edit::DefWindowProc(Message& m) {
    switch (m.id) {
        case EM_SETSEL:
            SetSel(static_cast<int>(m.wParam), static_cast<int>(m.lParam));
            return 1;
        case EM_GETSEL: {
            int s = 0, e = 0;
            GetSel(s, e);
            return MAKELPARAM(s, e);
        }
        case EM_REPLACESEL:
            if (m.lParam)
                ReplaceSel(reinterpret_cast<const char*>(m.lParam));
            return 0;
        case EM_LIMITTEXT:
            LimitText(static_cast<int>(m.wParam));
            return 0;
        case EM_GETLIMITTEXT:
            return limit_ > 0 ? limit_ : 0x7FFFFFFE;
        case EM_SETREADONLY:
            SetReadOnly(m.wParam != 0);
            return 1;
        case EM_GETMODIFY:
            return GetModify() ? 1 : 0;
        case EM_SETMODIFY:
            SetModify(m.wParam != 0);
            return 0;
        case EM_GETLINECOUNT:
            return GetLineCount();
        case EM_LINESCROLL:
            LineScroll(static_cast<int>(m.lParam), static_cast<int>(m.wParam));
            return 1;
        case EM_SCROLLCARET:
            return 1;
        default:
            return Control::DefWindowProc(m);
    }
}

}  // namespace fw
