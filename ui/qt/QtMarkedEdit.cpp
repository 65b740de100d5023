#include "QtMarkedEdit.h"

#include <QPainter>
#include <QPen>

namespace Backend {

namespace {

std::uint32_t rgbOf(const QPalette& palette, QPalette::ColorRole role)
{
    return palette.color(role).rgb() & 0xffffffU;
}

// The window's palette, not the edit's own, which a mark changes. Qt has no
// switch for high contrast: its palette's texts on their grounds tell.
MarkColours coloursOf(MarkLook mark, const QWidget& edit)
{
    const QPalette& palette = edit.parentWidget() ? edit.parentWidget()->palette() : edit.palette();
    const TextOnGround system[] = {
        {rgbOf(palette, QPalette::Text), rgbOf(palette, QPalette::Base)},
        {rgbOf(palette, QPalette::WindowText), rgbOf(palette, QPalette::Window)},
        {rgbOf(palette, QPalette::ButtonText), rgbOf(palette, QPalette::Button)},
        {rgbOf(palette, QPalette::HighlightedText), rgbOf(palette, QPalette::Highlight)},
    };
    return markColours(mark, FieldColours{system[0].text, system[0].ground, isHighContrast(system)});
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
    QPen pen(QColor::fromRgb(coloursOf(m_mark, *this).frame), markFrameWidth);
    pen.setCapStyle(Qt::FlatCap);  // a square cap would close the gaps between dashes
    pen.setJoinStyle(Qt::MiterJoin);
    if (m_mark == MarkLook::Dashed) {
        // In pen widths.
        const MarkDashes dashes = markDashes(markFrameWidth);
        pen.setDashPattern({qreal(dashes.dash) / markFrameWidth, qreal(dashes.gap) / markFrameWidth});
    }
    painter.setPen(pen);
    const qreal inset = markFrameWidth / 2.0;
    painter.drawRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset));
}

}  // namespace Backend
