#include "QtMarkedEdit.h"

#include "MarkLook.h"

#include <QPainter>
#include <QPen>

namespace Backend {

namespace {

// The window's palette, not the edit's own, which a mark changes.
MarkColours coloursOf(MarkLook mark, const QWidget& edit)
{
    const QPalette& palette = edit.parentWidget() ? edit.parentWidget()->palette() : edit.palette();
    return markColours(mark, palette.color(QPalette::Base).lightness() < 128);
}

}  // namespace

void MarkedEdit::setMark(MarkLook mark)
{
    m_mark = mark;
    // A font and a palette that set only what the mark changes: everything
    // else stays the window's, as for an edit without a mark.
    QFont font;
    QPalette palette;
    if (mark != MarkLook::None) {
        font.setBold(true);
        const MarkColours colours = coloursOf(mark, *this);
        palette.setColor(QPalette::Base, QColor::fromRgb(colours.ground));
        palette.setColor(QPalette::Text, QColor::fromRgb(colours.text));
    }
    setFont(font);
    setPalette(palette);
    update();
}

void MarkedEdit::paintEvent(QPaintEvent* event)
{
    QLineEdit::paintEvent(event);
    if (m_mark == MarkLook::None)
        return;
    QPainter painter(this);
    QPen pen(QColor::fromRgb(coloursOf(m_mark, *this).frame), 2);
    pen.setCapStyle(Qt::FlatCap);  // a square cap would close the gaps between dashes
    pen.setJoinStyle(Qt::MiterJoin);
    if (m_mark == MarkLook::Dashed)
        pen.setDashPattern({2, 1.5});  // in pen widths: 4 pixels drawn, 3 left out
    painter.setPen(pen);
    painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
}

}  // namespace Backend
