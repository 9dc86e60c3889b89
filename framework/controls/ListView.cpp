#include "framework/controls/ListView.h"
#include "framework/base/QtText.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTreeWidget>

#include <algorithm>
#include <memory>

namespace fw {
namespace {

constexpr int kDataRole = Qt::UserRole;
constexpr int kImageRole = Qt::UserRole + 1;
constexpr UINT kUncheckedImage = 0x1000;
constexpr UINT kCheckedImage = 0x2000;

}  // namespace

bool ListView::Create(DWORD style, const Rect& rect, Window* parent, UINT id) {
    if (!Window::Create(parent, rect, id, style | WS_CHILD))
        return false;
    tree_ = new QTreeWidget(this);
    tree_->setRootIsDecorated(false);
    tree_->setUniformRowHeights(true);
    tree_->setItemsExpandable(false);
    tree_->setAllColumnsShowFocus(true);
    tree_->setColumnCount(0);
    tree_->setHeaderHidden((style & LVS_NOCOLUMNHEADER) != 0);
    tree_->header()->setStretchLastSection(false);
    tree_->header()->setSectionsClickable(!(style & LVS_NOSORTHEADER));
    tree_->setSelectionMode((style & LVS_SINGLESEL) ? QAbstractItemView::SingleSelection
                                                    : QAbstractItemView::ExtendedSelection);
    tree_->viewport()->installEventFilter(this);
    connect(tree_->header(), &QHeaderView::sectionClicked, this, [this](int column) {
        QPointer<ListView> alive(this);
        ListViewChange change;
        change.hdr.code = LVN_COLUMNCLICK;
        change.subItem = column;
        NotifyParent(change.hdr);
        if (!alive)
            return;
        // Header notifications come from the header, whose child id is 0.
        HeaderClick click;
        click.item = column;
        click.hdr.from = Handle();
        click.hdr.idFrom = 0;
        click.hdr.code = HDN_ITEMCLICKA;
        if (Window* p = GetParentWindow())
            p->SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&click));
    });
    SetInner(tree_);
    return true;
}

Rect ListView::GetClientRect() const {
    if (!tree_)
        return Window::GetClientRect();
    // Worked out from the rows and columns rather than read from the bars, which the toolkit
    // shows or hides only at its next layout: a size handler asks before that.
    // The control's own size, which moving it sets at once (the inner widget follows later).
    const Rect whole = Window::GetClientRect();
    const int frame = tree_->frameWidth();
    int width = whole.Width() - 2 * frame;
    int height = whole.Height() - 2 * frame;
    if (!tree_->isHeaderHidden())
        height -= tree_->header()->sizeHint().height();
    const int rows = tree_->topLevelItemCount();
    const int rowsHeight = rows > 0 ? rows * tree_->sizeHintForRow(0) : 0;
    auto needs = [](Qt::ScrollBarPolicy policy, bool overflow) {
        return policy == Qt::ScrollBarAlwaysOn || (policy == Qt::ScrollBarAsNeeded && overflow);
    };
    if (needs(tree_->verticalScrollBarPolicy(), rowsHeight > height))
        width -= tree_->verticalScrollBar()->sizeHint().width();
    if (needs(tree_->horizontalScrollBarPolicy(), tree_->header()->length() > width))
        height -= tree_->horizontalScrollBar()->sizeHint().height();
    return {0, 0, std::max(0, width), std::max(0, height)};
}

void ListView::SetShowOnly(bool showOnly) {
    showOnly_ = showOnly;
    if (!tree_)
        return;
    const DWORD style = GetStyle();
    tree_->setSelectionMode(showOnly                  ? QAbstractItemView::NoSelection
                            : (style & LVS_SINGLESEL) ? QAbstractItemView::SingleSelection
                                                      : QAbstractItemView::ExtendedSelection);
    tree_->setFocusPolicy(showOnly ? Qt::NoFocus : Qt::StrongFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents, showOnly);
    if (showOnly)
        tree_->setCurrentItem(nullptr);
}

void ListView::SetExtendedStyle(DWORD exStyle) {
    exStyle_ = exStyle;
    const bool checks = (exStyle & LVS_EX_CHECKBOXES) != 0;
    for (int i = 0; i < GetItemCount(); ++i) {
        QTreeWidgetItem* it = Item(i);
        if (checks && !it->data(0, Qt::CheckStateRole).isValid())
            it->setData(0, Qt::CheckStateRole, Qt::Unchecked);
        if (!checks)
            it->setData(0, Qt::CheckStateRole, QVariant());
    }
    tree_->setSelectionBehavior(QAbstractItemView::SelectRows);
}

int ListView::InsertColumn(int index, std::string_view heading, int format, int width) {
    const int count = GetColumnCount();
    if (index < 0 || index > count)
        index = count;
    QStringList labels;
    for (int c = 0; c < count; ++c) labels << tree_->headerItem()->text(c);
    std::vector<int> widths;
    for (int c = 0; c < count; ++c) widths.push_back(tree_->columnWidth(c));
    labels.insert(index, ToQString(heading));
    widths.insert(widths.begin() + index, width < 0 ? 100 : width);
    tree_->setColumnCount(count + 1);
    // Rows keep their texts in their columns: move the texts right of the new column.
    for (int r = 0; r < GetItemCount(); ++r) {
        QTreeWidgetItem* it = Item(r);
        for (int c = count; c > index; --c) it->setText(c, it->text(c - 1));
        it->setText(index, QString());
    }
    tree_->setHeaderLabels(labels);
    for (int c = 0; c <= count; ++c) tree_->setColumnWidth(c, widths[static_cast<std::size_t>(c)]);
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
    if (format == LVCFMT_RIGHT)
        align = Qt::AlignRight | Qt::AlignVCenter;
    if (format == LVCFMT_CENTER)
        align = Qt::AlignHCenter | Qt::AlignVCenter;
    tree_->headerItem()->setTextAlignment(index, align);
    return index;
}

bool ListView::DeleteColumn(int index) {
    const int count = GetColumnCount();
    if (index < 0 || index >= count)
        return false;
    QStringList labels;
    std::vector<int> widths;
    for (int c = 0; c < count; ++c) {
        if (c == index)
            continue;
        labels << tree_->headerItem()->text(c);
        widths.push_back(tree_->columnWidth(c));
    }
    for (int r = 0; r < GetItemCount(); ++r) {
        QTreeWidgetItem* it = Item(r);
        for (int c = index; c + 1 < count; ++c) it->setText(c, it->text(c + 1));
    }
    tree_->setColumnCount(count - 1);
    tree_->setHeaderLabels(labels);
    for (int c = 0; c < count - 1; ++c)
        tree_->setColumnWidth(c, widths[static_cast<std::size_t>(c)]);
    return true;
}

int ListView::GetColumnCount() const {
    return tree_->columnCount();
}
int ListView::GetColumnWidth(int index) const {
    return tree_->columnWidth(index);
}

bool ListView::SetColumnWidth(int index, int width) {
    if (index < 0 || index >= GetColumnCount())
        return false;
    tree_->setColumnWidth(index, width);
    return true;
}

QTreeWidgetItem* ListView::Item(int index) const {
    return index >= 0 && index < GetItemCount() ? tree_->topLevelItem(index) : nullptr;
}

int ListView::InsertItem(int index, std::string_view text, int image) {
    const int count = GetItemCount();
    if (index < 0 || index > count)
        index = count;
    auto item = std::make_unique<QTreeWidgetItem>();
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    item->setText(0, ToQString(text));
    item->setData(0, kImageRole, image);
    if (image >= 0)
        item->setIcon(0, images_.Icon(image));
    if (exStyle_ & LVS_EX_CHECKBOXES)
        item->setData(0, Qt::CheckStateRole, Qt::Unchecked);
    tree_->insertTopLevelItem(index, item.release());
    if (showOnly_)
        tree_->setCurrentItem(nullptr);  // the model makes the first row current
    return index;
}

bool ListView::SetItemText(int index, int subItem, std::string_view text) {
    QTreeWidgetItem* it = Item(index);
    if (!it || subItem < 0 || (subItem >= GetColumnCount() && subItem != 0))
        return false;
    it->setText(subItem, ToQString(text));
    return true;
}

std::string ListView::GetItemText(int index, int subItem) const {
    QTreeWidgetItem* it = Item(index);
    return it ? it->text(subItem).toStdString() : std::string();
}

bool ListView::SetItem(int index, int image) {
    QTreeWidgetItem* it = Item(index);
    if (!it)
        return false;
    it->setData(0, kImageRole, image);
    it->setIcon(0, images_.Icon(image));
    return true;
}

int ListView::GetItemImage(int index) const {
    QTreeWidgetItem* it = Item(index);
    return it ? it->data(0, kImageRole).toInt() : -1;
}

bool ListView::DeleteItem(int index) {
    if (!Item(index))
        return false;
    delete tree_->takeTopLevelItem(index);
    return true;
}

bool ListView::DeleteAllItems() {
    tree_->clear();
    return true;
}

int ListView::GetItemCount() const {
    return tree_->topLevelItemCount();
}

bool ListView::SetItemData(int index, std::uintptr_t data) {
    QTreeWidgetItem* it = Item(index);
    if (!it)
        return false;
    it->setData(0, kDataRole, QVariant::fromValue<qulonglong>(data));
    return true;
}

std::uintptr_t ListView::GetItemData(int index) const {
    QTreeWidgetItem* it = Item(index);
    return it ? static_cast<std::uintptr_t>(it->data(0, kDataRole).toULongLong()) : 0;
}

bool ListView::GetCheck(int index) const {
    QTreeWidgetItem* it = Item(index);
    return it && it->data(0, Qt::CheckStateRole).toInt() == Qt::Checked;
}

bool ListView::SetCheck(int index, bool check) {
    QTreeWidgetItem* it = Item(index);
    if (!it)
        return false;
    const bool was = GetCheck(index);
    it->setData(0, Qt::CheckStateRole, check ? Qt::Checked : Qt::Unchecked);
    if (was != check) {
        SendChange(index, check ? kCheckedImage : kUncheckedImage,
                   was ? kCheckedImage : kUncheckedImage);
    }
    return true;
}

UINT ListView::GetItemState(int index, UINT mask) const {
    QTreeWidgetItem* it = Item(index);
    if (!it)
        return 0;
    UINT s = 0;
    if (it->isSelected())
        s |= LVIS_SELECTED;
    if (tree_->currentItem() == it)
        s |= LVIS_FOCUSED;
    s |= GetCheck(index) ? kCheckedImage : kUncheckedImage;
    return s & mask;
}

bool ListView::SetItemState(int index, UINT state, UINT mask) {
    QTreeWidgetItem* it = Item(index);
    if (!it)
        return false;
    const UINT old = GetItemState(index, LVIS_SELECTED | LVIS_FOCUSED);
    if (mask & LVIS_SELECTED)
        it->setSelected((state & LVIS_SELECTED) != 0);
    if (mask & LVIS_FOCUSED) {
        if (state & LVIS_FOCUSED) {
            tree_->setCurrentItem(it, 0, QItemSelectionModel::NoUpdate);
        } else if (tree_->currentItem() == it) {
            tree_->setCurrentItem(nullptr, 0, QItemSelectionModel::NoUpdate);
        }
    }
    const UINT now = GetItemState(index, LVIS_SELECTED | LVIS_FOCUSED);
    if (now != old)
        SendChange(index, now, old);
    return true;
}

int ListView::GetNextItem(int start, UINT flags) const {
    for (int i = std::max(-1, start) + 1; i < GetItemCount(); ++i) {
        if ((flags & LVNI_SELECTED) && !Item(i)->isSelected())
            continue;
        if ((flags & LVNI_FOCUSED) && tree_->currentItem() != Item(i))
            continue;
        return i;
    }
    return -1;
}

int ListView::GetSelectedCount() const {
    return static_cast<int>(tree_->selectedItems().size());
}

int ListView::FindItemText(int start, std::string_view text) const {
    const QString t = ToQString(text);
    for (int i = std::max(-1, start) + 1; i < GetItemCount(); ++i) {
        if (Item(i)->text(0).compare(t, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool ListView::SortItems(const CompareFunc& compare, std::uintptr_t param) {
    std::vector<QTreeWidgetItem*> rows;
    QTreeWidgetItem* current = tree_->currentItem();
    std::vector<QTreeWidgetItem*> selected;
    for (QTreeWidgetItem* it : tree_->selectedItems()) selected.push_back(it);
    while (tree_->topLevelItemCount() > 0) rows.push_back(tree_->takeTopLevelItem(0));
    auto data = [](QTreeWidgetItem* it) {
        return static_cast<std::uintptr_t>(it->data(0, kDataRole).toULongLong());
    };
    std::stable_sort(rows.begin(), rows.end(), [&](QTreeWidgetItem* a, QTreeWidgetItem* b) {
        return compare(data(a), data(b), param) < 0;
    });
    for (QTreeWidgetItem* it : rows) tree_->addTopLevelItem(it);
    for (QTreeWidgetItem* it : selected) it->setSelected(true);
    if (current)
        tree_->setCurrentItem(current, 0, QItemSelectionModel::NoUpdate);
    return true;
}

int ListView::SubItemHitTest(Point p, int* subItem) const {
    const QPoint inViewport = tree_->viewport()->mapFrom(this, QPoint(p.x, p.y));
    QTreeWidgetItem* it = tree_->itemAt(inViewport);
    if (subItem)
        *subItem = it ? tree_->columnAt(inViewport.x()) : -1;
    return it ? tree_->indexOfTopLevelItem(it) : -1;
}

bool ListView::IsOnCheckBox(int index, Point p) const {
    QTreeWidgetItem* it = Item(index);
    if (!it || !(exStyle_ & LVS_EX_CHECKBOXES))
        return false;
    QStyleOptionViewItem opt;
    opt.rect = tree_->visualItemRect(it);
    opt.features |= QStyleOptionViewItem::HasCheckIndicator;
    const QRect box =
        tree_->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opt, tree_);
    const int x = tree_->viewport()->mapFrom(this, QPoint(p.x, p.y)).x();
    return x >= opt.rect.left() && x <= std::max(box.right(), opt.rect.left() + 15);
}

bool ListView::GetItemRect(int index, Rect& rect) const {
    QTreeWidgetItem* it = Item(index);
    if (!it)
        return false;
    QRect r = tree_->visualItemRect(it);
    r.moveTopLeft(tree_->viewport()->mapTo(this, r.topLeft()));
    rect = Rect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    return true;
}

bool ListView::EnsureVisible(int index) {
    QTreeWidgetItem* it = Item(index);
    if (it)
        tree_->scrollToItem(it);
    return it != nullptr;
}

void ListView::SetImageList(const ImageList& images) {
    images_ = images;
    tree_->setIconSize(QSize(images.Width(), images.Height()));
    for (int i = 0; i < GetItemCount(); ++i) Item(i)->setIcon(0, images_.Icon(GetItemImage(i)));
}

void ListView::SetHeaderImageList(const ImageList& images) {
    headerImages_ = images;
}

void ListView::SetHeaderImage(int column, int image) {
    tree_->headerItem()->setIcon(column, image >= 0 ? headerImages_.Icon(image) : QIcon());
}

void ListView::SendChange(int index, UINT newState, UINT oldState) {
    ListViewChange change;
    change.hdr.code = LVN_ITEMCHANGED;
    change.item = index;
    change.newState = newState;
    change.oldState = oldState;
    change.changed = LVIF_STATE;
    change.param = GetItemData(index);
    NotifyParent(change.hdr);
}

bool ListView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tree_->viewport()) {
        const QEvent::Type t = event->type();
        if (t == QEvent::MouseButtonRelease || t == QEvent::MouseButtonDblClick) {
            auto* me = static_cast<QMouseEvent*>(event);
            if (t == QEvent::MouseButtonRelease) {
                ViewportClick(me, me->button() == Qt::RightButton ? NM_RCLICK : NM_CLICK);
            } else if (me->button() == Qt::LeftButton) {
                ViewportClick(me, NM_DBLCLK);
            }
        }
        return false;
    }
    return Control::eventFilter(watched, event);
}

// NM_CLICK first, then the check box under the point toggles (a handler may have changed the
// boxes already, as a "one ticked row" rule does).
void ListView::ViewportClick(QMouseEvent* e, UINT code) {
    const QPoint inList = tree_->viewport()->mapTo(this, e->position().toPoint());
    ListViewActivate act;
    act.hdr.code = code;
    act.point = {inList.x(), inList.y()};
    act.item = SubItemHitTest(act.point, &act.subItem);
    QPointer<ListView> alive(this);
    NotifyParent(act.hdr);
    if (!alive || code != NM_CLICK || act.item < 0 || !(exStyle_ & LVS_EX_CHECKBOXES))
        return;
    if (IsOnCheckBox(act.item, act.point))
        SetCheck(act.item, !GetCheck(act.item));
}

}  // namespace fw
