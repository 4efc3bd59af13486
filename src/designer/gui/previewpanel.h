#pragma once

#include "designer/previewsession.h"

#include <QElapsedTimer>
#include <QFrame>
#include <QTimer>

namespace vell {

// The design panel in preview: laid over it, the same size and place, it
// draws the preview's objects with a strip "Предпросмотр — Esc: выход" at
// the top right and the messages at the lower left, where the game shows
// them; clicks go to the buttons. Esc asks to leave.
class PreviewPanel : public QFrame
{
    Q_OBJECT

public:
    PreviewPanel(PanelDrawing &design, QColor buttonFill, QColor pictureFill, QWidget *over);

    PreviewSession &session() { return m_session; }
    // A message put up now (said once on entering, say).
    void say(const QString &text);
    // The messages shown now, oldest first.
    QStringList shownMessages() const;

signals:
    void leaveRequested();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    qint64 now() const { return m_clock.elapsed(); }
    // Repaints and sets the timer for the next message to go.
    void messagesChanged();

    PreviewSession m_session;
    QElapsedTimer m_clock;
    QTimer m_expiry;
};

} // namespace vell
