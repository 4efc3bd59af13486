#include "common/gui/linegutter.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace {

const QColor kBackground(0xF0, 0xF0, 0xF0);
const QColor kNumber(0x5A, 0x5A, 0x5A);
const QColor kCurrent(0x1F, 0x4E, 0xA8);
const QColor kError(0xB0, 0x00, 0x20);
constexpr int kPadding = 4;
constexpr int kErrorBar = 3;

} // namespace

LineGutter::LineGutter(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("LineGutter"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

int LineGutter::widthFor(int lineCount) const
{
    int digits = 1;
    for (int n = std::max(1, lineCount); n >= 10; n /= 10)
        ++digits;
    const qreal digit = fontMetrics().horizontalAdvance(QLatin1Char('9'));
    return int(std::ceil(std::max(digits, 2) * digit)) + 2 * kPadding + kErrorBar;
}

void LineGutter::paintEvent(QPaintEvent *e)
{
    QPainter p(this);
    p.fillRect(e->rect(), kBackground);
    if (!rows)
        return;
    QFont bold = font();
    bold.setBold(true);
    const int right = width() - kPadding;
    for (const GutterRow &row : rows()) {
        const QRect box(0, row.top, right, lineHeight);
        if (!box.intersects(e->rect()))
            continue;
        if (row.error)
            p.fillRect(QRect(0, row.top, kErrorBar, lineHeight), kError);
        p.setFont(row.current ? bold : font());
        p.setPen(row.error ? kError : row.current ? kCurrent : kNumber);
        p.drawText(box, Qt::AlignRight | Qt::AlignVCenter, QString::number(row.line + 1));
    }
}

bool LineGutter::event(QEvent *e)
{
    if (e->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(e);
        QString message;
        if (rows && errorOf) {
            for (const GutterRow &row : rows()) {
                if (row.error && help->pos().y() >= row.top &&
                    help->pos().y() < row.top + lineHeight)
                    message = errorOf(row.line);
            }
        }
        if (message.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), message, this);
        return true;
    }
    return QWidget::event(e);
}
