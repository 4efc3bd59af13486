#include "designer/gui/previewpanel.h"

#include "common/labelfont.h"
#include "designer/gui/designpanel.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace vell {

namespace {

const QString kStrip = QStringLiteral("Предпросмотр — Esc: выход");

} // namespace

PreviewPanel::PreviewPanel(PanelDrawing &design, QColor buttonFill, QColor pictureFill,
                           QWidget *over)
    : QFrame(over->parentWidget()), m_session(design, buttonFill, pictureFill)
{
    setObjectName(QStringLiteral("PreviewPanel"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    setGeometry(over->geometry());
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_clock.start();
    m_expiry.setSingleShot(true);
    connect(&m_expiry, &QTimer::timeout, this, &PreviewPanel::messagesChanged);
    raise();
}

void PreviewPanel::say(const QString &text)
{
    m_session.messages().add(text, now());
    messagesChanged();
}

QStringList PreviewPanel::shownMessages() const
{
    return m_session.messages().shown(now());
}

void PreviewPanel::messagesChanged()
{
    update();
    const qint64 next = m_session.messages().nextExpiry(now());
    if (next >= 0)
        m_expiry.start(int(next - now()));
}

void PreviewPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), kPanelFace);
    drawFrame(&painter);
    for (const PanelScene::Slot &slot : m_session.scene().stack()) {
        if (slot.visible)
            paintElement(painter, *slot.element);
    }
    painter.setFont(LabelFont());
    const QFontMetrics metrics(LabelFont());
    const int line = metrics.height();
    const QRect strip(width() - metrics.horizontalAdvance(kStrip) - 12, 2,
                      metrics.horizontalAdvance(kStrip) + 10, line + 4);
    painter.fillRect(strip, QColor(32, 32, 32));
    painter.setPen(Qt::white);
    painter.drawText(strip, Qt::AlignCenter, kStrip);
    // The newest message lowest, as the game's message area stacks them.
    const QStringList messages = shownMessages();
    int y = height() - 6 - line * int(messages.size());
    for (const QString &text : messages) {
        const QRect area(6, y, width() - 12, line);
        painter.setPen(QColor(0, 0, 0));
        painter.drawText(area.translated(1, 1), Qt::AlignLeft | Qt::AlignVCenter, text);
        painter.setPen(QColor(255, 220, 0));
        painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, text);
        y += line;
    }
}

void PreviewPanel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton)
        return;
    const ClickSide side = event->button() == Qt::LeftButton ? ClickSide::Left : ClickSide::Right;
    if (m_session.click(event->position().toPoint(), side, now()))
        messagesChanged();
}

void PreviewPanel::contextMenuEvent(QContextMenuEvent *event)
{
    // No popup in the preview.
    event->accept();
}

void PreviewPanel::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        emit leaveRequested();
        return;
    }
    // Arrows, Delete and the rest edit nothing here.
    event->accept();
}

} // namespace vell
