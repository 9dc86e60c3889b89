#include "framework/controls/ListBox.h"
#include "framework/base/QtText.h"

#include "framework/controls/ListSearch.h"

#include <QFontMetrics>
#include <QListWidget>
#include <QPainter>
#include <QStyledItemDelegate>

namespace fw {
namespace {

// Draws an item's tab-separated fields at the list's tab stops.
class TabStopDelegate final : public QStyledItemDelegate {
public:
    TabStopDelegate(QObject* parent, const ListBox* box) : QStyledItemDelegate(parent), box_(box) {}
    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QString text = index.data().toString();
        if (!text.contains('\t')) {
            QStyledItemDelegate::paint(p, option, index);
            return;
        }
        QStyleOptionViewItem o = option;
        initStyleOption(&o, index);
        o.text.clear();
        o.widget->style()->drawControl(QStyle::CE_ItemViewItem, &o, p, o.widget);
        const QStringList fields = text.split('\t');
        const std::vector<int> stops = box_->TabStopPixels();
        p->save();
        p->setPen(o.palette.color((o.state & QStyle::State_Selected) ? QPalette::HighlightedText
                                                                     : QPalette::Text));
        int x = o.rect.left() + 2;
        for (int i = 0; i < fields.size(); ++i) {
            if (i > 0) {
                const int used = x - o.rect.left();
                int next = used;
                for (int s : stops) {
                    if (s > used) {
                        next = s;
                        break;
                    }
                }
                if (next == used)
                    next = used + 32 * o.fontMetrics.averageCharWidth() / 4;
                x = o.rect.left() + next;
            }
            p->drawText(QRect(x, o.rect.top(), o.rect.right() - x, o.rect.height()),
                        Qt::AlignVCenter | Qt::AlignLeft, fields[i]);
            x += o.fontMetrics.horizontalAdvance(fields[i]);
        }
        p->restore();
    }

private:
    const ListBox* box_;
};

}  // namespace

bool ListBox::Create(DWORD style, const Rect& rect, Window* parent, UINT id) {
    if (!Window::Create(parent, rect, id, style | WS_CHILD))
        return false;
    list_ = new QListWidget(this);
    list_->setSelectionMode((style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL))
                                ? QAbstractItemView::MultiSelection
                                : QAbstractItemView::SingleSelection);
    if (style & LBS_USETABSTOPS)
        list_->setItemDelegate(new TabStopDelegate(list_, this));
    connect(list_, &QListWidget::itemSelectionChanged, this, [this] {
        if (GetStyle() & LBS_NOTIFY)
            NotifyParentCommand(LBN_SELCHANGE);
    });
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] {
        if (GetStyle() & LBS_NOTIFY)
            NotifyParentCommand(LBN_DBLCLK);
    });
    SetInner(list_);
    return true;
}

int ListBox::AddString(std::string_view text) {
    int index = list_->count();
    if (GetStyle() & LBS_SORT) {
        const QString t = ToQString(text);
        index = 0;
        while (index < list_->count() &&
               list_->item(index)->text().compare(t, Qt::CaseInsensitive) <= 0)
            ++index;
    }
    return InsertString(index, text);
}

int ListBox::InsertString(int index, std::string_view text) {
    if (index < 0 || index > list_->count())
        index = list_->count();
    const QSignalBlocker block(list_);
    list_->insertItem(index, ToQString(text));
    return index;
}

int ListBox::DeleteString(int index) {
    if (index < 0 || index >= list_->count())
        return LB_ERR;
    const QSignalBlocker block(list_);
    delete list_->takeItem(index);
    return list_->count();
}

void ListBox::ResetContent() {
    const QSignalBlocker block(list_);
    list_->clear();
}

int ListBox::GetCount() const {
    return list_->count();
}

int ListBox::GetCurSel() const {
    const auto sel = list_->selectedItems();
    return sel.isEmpty() ? LB_ERR : list_->row(sel.front());
}

int ListBox::SetCurSel(int index) {
    const QSignalBlocker block(list_);
    list_->clearSelection();
    if (index < 0 || index >= list_->count())
        return LB_ERR;
    list_->setCurrentRow(index);
    list_->item(index)->setSelected(true);
    return index;
}

std::string ListBox::GetText(int index) const {
    if (index < 0 || index >= list_->count())
        return {};
    return list_->item(index)->text().toStdString();
}

int ListBox::FindString(int start, std::string_view prefix) const {
    return FindListString(
        list_->count(), [this](int i) { return list_->item(i)->text(); }, start, ToQString(prefix),
        false);
}

int ListBox::FindStringExact(int start, std::string_view text) const {
    return FindListString(
        list_->count(), [this](int i) { return list_->item(i)->text(); }, start, ToQString(text),
        true);
}

int ListBox::SelectString(int start, std::string_view prefix) {
    const int i = FindString(start, prefix);
    if (i >= 0)
        SetCurSel(i);
    return i;
}

void ListBox::SetItemData(int index, std::uintptr_t data) {
    if (index >= 0 && index < list_->count()) {
        list_->item(index)->setData(Qt::UserRole, QVariant::fromValue<qulonglong>(data));
    }
}

std::uintptr_t ListBox::GetItemData(int index) const {
    if (index < 0 || index >= list_->count())
        return 0;
    return static_cast<std::uintptr_t>(list_->item(index)->data(Qt::UserRole).toULongLong());
}

bool ListBox::GetSel(int index) const {
    return index >= 0 && index < list_->count() && list_->item(index)->isSelected();
}

void ListBox::SetSel(int index, bool select) {
    const QSignalBlocker block(list_);
    if (index < 0) {
        for (int i = 0; i < list_->count(); ++i) list_->item(i)->setSelected(select);
        return;
    }
    if (index < list_->count())
        list_->item(index)->setSelected(select);
}

std::vector<int> ListBox::GetSelItems() const {
    std::vector<int> out;
    for (int i = 0; i < list_->count(); ++i) {
        if (list_->item(i)->isSelected())
            out.push_back(i);
    }
    return out;
}

void ListBox::SetTabStops(const std::vector<int>& stops) {
    stops_ = stops;
    list_->viewport()->update();
}

std::vector<int> ListBox::TabStopPixels() const {
    // A dialog unit across is a quarter of the font's average character width.
    const int unit = QFontMetrics(list_->font()).averageCharWidth();
    std::vector<int> out;
    if (stops_.empty()) {
        for (int i = 1; i <= 32; ++i) out.push_back(i * 32 * unit / 4);
    } else if (stops_.size() == 1) {
        for (int i = 1; i <= 32; ++i) out.push_back(i * stops_[0] * unit / 4);
    } else {
        for (int s : stops_) out.push_back(s * unit / 4);
    }
    return out;
}

}  // namespace fw
