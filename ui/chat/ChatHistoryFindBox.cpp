#include "ChatHistoryFindBox.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace pellix {

namespace {

constexpr int kMaxTextLength = 100;

} // namespace

CChatHistoryFindBox::CChatHistoryFindBox(QWidget* parent)
    : QWidget(parent), m_pNote(new QLabel(this)), m_pEdit(new QLineEdit(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    m_pNote->setText(QStringLiteral("未找到"));
    m_pNote->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_pNote->setStyleSheet(QStringLiteral("QLabel { color: #ffffff; font-weight: bold; }"));
    m_pNote->hide();
    m_pEdit->setPlaceholderText(QStringLiteral("查找聊天记录"));
    m_pEdit->setMaxLength(kMaxTextLength);
    m_pEdit->setClearButtonEnabled(true);
    m_pEdit->setStyleSheet(QStringLiteral(
        "QLineEdit { border: 1px solid #7fa9d6; background: #ffffff; padding: 0 2px; }"));
    m_pEdit->installEventFilter(this);
    layout->addWidget(m_pNote, 1);
    layout->addWidget(m_pEdit, 3);
    connect(m_pEdit, &QLineEdit::textChanged, m_pNote, &QWidget::hide);
    hide();
}

void CChatHistoryFindBox::Open() {
    show();
    raise();
    m_pEdit->setFocus(Qt::ShortcutFocusReason);
    m_pEdit->selectAll();
}

QString CChatHistoryFindBox::Text() const {
    return m_pEdit->text();
}

void CChatHistoryFindBox::ShowNoMatch() {
    m_pNote->show();
}

bool CChatHistoryFindBox::ShowsNoMatch() const {
    return !m_pNote->isHidden();
}

// Enter and Esc belong to the box while it has the focus: they must not reach the viewer,
// where they would close it.
bool CChatHistoryFindBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_pEdit || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<const QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        if (!m_pEdit->text().isEmpty())
            Q_EMIT findRequested(m_pEdit->text());
        return true;
    }
    if (key->key() == Qt::Key_Escape) {
        hide();
        Q_EMIT closed();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace pellix
