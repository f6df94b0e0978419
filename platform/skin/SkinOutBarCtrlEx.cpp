#include "SkinOutBarCtrlEx.h"

#include "skin/OutBarItemDelegate.h"
#include "skin/SkinImageManager.h"

#include <QListView>
#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int kDefaultHeaderHeight = 24;
constexpr int kHeaderStates = 3;
const QColor kHeaderText(0x1D, 0x4F, 0x85);

} // namespace

CSkinOutBarCtrlEx::CSkinOutBarCtrlEx(QWidget* parent)
    : QWidget(parent), m_pList(new QListView(this)), m_pDelegate(new OutBarItemDelegate(this)) {
    setMouseTracking(true);
    m_pList->setItemDelegate(m_pDelegate);
    m_pList->setUniformItemSizes(true);
    m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pList->setFrameShape(QFrame::NoFrame);
    m_pList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_pList->setMouseTracking(true);
    m_pList->viewport()->installEventFilter(this);
    m_pList->hide();
}

CSkinOutBarCtrlEx::~CSkinOutBarCtrlEx() {
    // The view must let go of the models before they are destroyed.
    m_pList->setModel(nullptr);
}

int CSkinOutBarCtrlEx::InsertTabPannel(const QString& text, int index, const QString& imageFile) {
    if (index < 0 || index > GetTabCount())
        index = GetTabCount();
    Tab tab{text, CSkinImageManager::Instance().GetImage(imageFile, SKIN_TRANSPARENT_COLOR),
            std::make_unique<OutBarItemModel>(m_images)};
    if (m_nBatchDepth > 0)
        tab.model->BeginBatch();
    m_tabs.insert(m_tabs.begin() + index, std::move(tab));
    if (m_nSelTab >= index)
        ++m_nSelTab;
    if (m_nSelTab < 0)
        SetSelTab(index);
    else
        Relayout();
    return index;
}

void CSkinOutBarCtrlEx::SetSelTab(int tab) {
    if (tab < 0 || tab >= GetTabCount())
        return;
    m_nSelTab = tab;
    m_pList->setModel(m_tabs[static_cast<size_t>(tab)].model.get());
    m_pList->show();
    Relayout();
}

void CSkinOutBarCtrlEx::SetTabText(int tab, const QString& text) {
    if (tab < 0 || tab >= GetTabCount())
        return;
    m_tabs[static_cast<size_t>(tab)].text = text;
    update(TabRect(tab));
}

QString CSkinOutBarCtrlEx::GetTabText(int tab) const {
    return tab >= 0 && tab < GetTabCount() ? m_tabs[static_cast<size_t>(tab)].text : QString();
}

int CSkinOutBarCtrlEx::InsertItem(int tab, int position, const QString& text,
                                  const QString& subText, const QPixmap* image, bool offline,
                                  int userData) {
    if (tab < 0 || tab >= GetTabCount())
        return -1;
    const OutBarItemValues values{text, subText, image, offline, userData};
    return m_tabs[static_cast<size_t>(tab)].model->Insert(position, values);
}

int CSkinOutBarCtrlEx::RefileItem(int tab, int position, const QString& text,
                                  const QString& subText, const QPixmap* image, bool offline,
                                  int userData) {
    if (tab < 0 || tab >= GetTabCount())
        return -1;
    const OutBarItemValues values{text, subText, image, offline, userData};
    return m_tabs[static_cast<size_t>(tab)].model->Refile(position, values);
}

int CSkinOutBarCtrlEx::MoveItem(int tab, int userData, int position) {
    if (tab < 0 || tab >= GetTabCount())
        return -1;
    OutBarItemModel& model = *m_tabs[static_cast<size_t>(tab)].model;
    return model.Move(model.FindByUserData(userData), position);
}

void CSkinOutBarCtrlEx::BeginBatch() {
    if (m_nBatchDepth++ > 0)
        return;
    RememberSelection();
    for (Tab& tab : m_tabs)
        tab.model->BeginBatch();
}

void CSkinOutBarCtrlEx::EndBatch() {
    if (m_nBatchDepth == 0 || --m_nBatchDepth > 0)
        return;
    for (Tab& tab : m_tabs)
        tab.model->EndBatch();
    RestoreSelection();
}

void CSkinOutBarCtrlEx::RememberSelection() {
    const QModelIndex current = m_pList->currentIndex();
    m_nBatchSelTab = current.isValid() ? m_nSelTab : -1;
    m_nBatchSelUserData = current.data(OutBarItemModel::UserDataRole).toInt();
}

// A reset clears the view's selection; the user's choice outlives a refill of the list.
void CSkinOutBarCtrlEx::RestoreSelection() {
    if (m_nBatchSelTab < 0 || m_nBatchSelTab != m_nSelTab)
        return;
    const int row = FindItemByUserData(m_nSelTab, m_nBatchSelUserData);
    if (row >= 0 && m_pList->currentIndex().row() != row)
        m_pList->setCurrentIndex(m_pList->model()->index(row, 0));
}

void CSkinOutBarCtrlEx::RemoveAllItem(int tab) {
    if (tab >= 0 && tab < GetTabCount())
        m_tabs[static_cast<size_t>(tab)].model->RemoveAll();
}

int CSkinOutBarCtrlEx::RemoveItemByUserData(int tab, int userData) {
    if (tab < 0 || tab >= GetTabCount())
        return 0;
    return m_tabs[static_cast<size_t>(tab)].model->RemoveByUserData(userData);
}

int CSkinOutBarCtrlEx::FindItemByUserData(int tab, int userData) const {
    if (tab < 0 || tab >= GetTabCount())
        return -1;
    return m_tabs[static_cast<size_t>(tab)].model->FindByUserData(userData);
}

int CSkinOutBarCtrlEx::GetItemCount(int tab) const {
    return tab >= 0 && tab < GetTabCount() ? m_tabs[static_cast<size_t>(tab)].model->Count() : 0;
}

const OutBarItem* CSkinOutBarCtrlEx::Item(int tab, int item) const {
    if (tab < 0 || tab >= GetTabCount())
        return nullptr;
    return m_tabs[static_cast<size_t>(tab)].model->Item(item);
}

QString CSkinOutBarCtrlEx::GetItemText(int tab, int item) const {
    const OutBarItem* found = Item(tab, item);
    return found != nullptr ? found->text : QString();
}

QString CSkinOutBarCtrlEx::GetItemSubText(int tab, int item) const {
    const OutBarItem* found = Item(tab, item);
    return found != nullptr ? found->subText : QString();
}

int CSkinOutBarCtrlEx::GetItemUserData(int tab, int item) const {
    const OutBarItem* found = Item(tab, item);
    return found != nullptr ? found->userData : 0;
}

bool CSkinOutBarCtrlEx::IsItemOffline(int tab, int item) const {
    const OutBarItem* found = Item(tab, item);
    return found != nullptr && found->offline;
}

int CSkinOutBarCtrlEx::HeaderHeight() const {
    for (const Tab& tab : m_tabs) {
        if (!tab.strip.isNull())
            return tab.strip.height();
    }
    return kDefaultHeaderHeight;
}

// Headers up to the open panel stack at the top, the rest at the bottom.
QRect CSkinOutBarCtrlEx::TabRect(int tab) const {
    if (tab < 0 || tab >= GetTabCount())
        return {};
    const int header = HeaderHeight();
    if (tab <= m_nSelTab)
        return QRect(0, tab * header, width(), header);
    return QRect(0, height() - (GetTabCount() - tab) * header, width(), header);
}

QRect CSkinOutBarCtrlEx::ItemRect(int item) const {
    if (m_nSelTab < 0 || item < 0 || item >= GetItemCount(m_nSelTab))
        return {};
    const QRect visual = m_pList->visualRect(m_pList->model()->index(item, 0));
    return visual.translated(m_pList->viewport()->mapTo(this, QPoint(0, 0)));
}

QWidget* CSkinOutBarCtrlEx::ItemViewport() const {
    return m_pList->viewport();
}

int CSkinOutBarCtrlEx::TabAt(const QPoint& pos) const {
    for (int tab = 0; tab < GetTabCount(); ++tab) {
        if (TabRect(tab).contains(pos))
            return tab;
    }
    return -1;
}

void CSkinOutBarCtrlEx::Relayout() {
    const int header = HeaderHeight();
    const int top = (m_nSelTab + 1) * header;
    const int bottom = (GetTabCount() - m_nSelTab - 1) * header;
    m_pList->setGeometry(0, top, width(), std::max(0, height() - top - bottom));
    update();
}

void CSkinOutBarCtrlEx::resizeEvent(QResizeEvent*) {
    Relayout();
}

void CSkinOutBarCtrlEx::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    for (int tab = 0; tab < GetTabCount(); ++tab)
        PaintHeader(painter, tab);
}

void CSkinOutBarCtrlEx::PaintHeader(QPainter& painter, int tab) const {
    const QRect area = TabRect(tab);
    const Tab& panel = m_tabs[static_cast<size_t>(tab)];
    const int state = tab == m_nSelTab ? 2 : tab == m_nHoverTab ? 1 : 0;
    if (!panel.strip.isNull()) {
        const int slice = panel.strip.width() / kHeaderStates;
        painter.drawPixmap(area, panel.strip, QRect(state * slice, 0, slice, panel.strip.height()));
    } else {
        painter.fillRect(area, state == 0 ? QColor(0xE3, 0xF0, 0xFC) : QColor(0xC9, 0xE2, 0xF8));
    }
    QFont font = painter.font();
    font.setPixelSize(12);
    font.setBold(tab == m_nSelTab);
    painter.setFont(font);
    painter.setPen(kHeaderText);
    painter.drawText(area.adjusted(10, 0, -4, 0), Qt::AlignLeft | Qt::AlignVCenter, panel.text);
}

void CSkinOutBarCtrlEx::mousePressEvent(QMouseEvent* event) {
    const int tab = TabAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && tab >= 0)
        SetSelTab(tab);
}

void CSkinOutBarCtrlEx::mouseMoveEvent(QMouseEvent* event) {
    const int tab = TabAt(event->position().toPoint());
    if (tab != m_nHoverTab) {
        m_nHoverTab = tab;
        update();
    }
}

void CSkinOutBarCtrlEx::leaveEvent(QEvent*) {
    m_nHoverTab = -1;
    update();
}

bool CSkinOutBarCtrlEx::eventFilter(QObject* watched, QEvent* event) {
    const bool press = event->type() == QEvent::MouseButtonPress;
    const bool doubleClick = event->type() == QEvent::MouseButtonDblClick;
    if (watched != m_pList->viewport() || (!press && !doubleClick))
        return QWidget::eventFilter(watched, event);
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const QModelIndex index = m_pList->indexAt(mouse->position().toPoint());
    if (!index.isValid())
        return QWidget::eventFilter(watched, event);
    m_pList->setCurrentIndex(index);
    if (doubleClick && mouse->button() == Qt::LeftButton)
        Q_EMIT itemNotify(NotifyDoubleClick, m_nSelTab, index.row());
    else if (press && mouse->button() == Qt::RightButton)
        Q_EMIT itemNotify(NotifyRightClick, m_nSelTab, index.row());
    else if (press && mouse->button() == Qt::LeftButton)
        Q_EMIT itemNotify(NotifyClick, m_nSelTab, index.row());
    // The right-click handler may open a menu; the view has nothing more to do with it.
    return mouse->button() == Qt::RightButton;
}
