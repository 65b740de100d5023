// The Qt backend's edit: a line edit that can show a mark. The mark is a bold
// text on a tinted ground inside a frame of two pixels, solid or dashed, so
// that it does not rest on colour alone; its colours and dashes (MarkLook.h)
// follow the palette: its light or dark ground, or its high contrast.
// Which field is marked, and when the mark goes, is decided above the backend.
#pragma once

#include "MarkLook.h"

#include <QLineEdit>

namespace Backend {

class MarkedEdit : public QLineEdit {
public:
    explicit MarkedEdit(QWidget* parent) : QLineEdit(parent) {}

    MarkLook mark() const { return m_mark; }
    void setMark(MarkLook mark);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    MarkLook m_mark = MarkLook::None;
};

}  // namespace Backend
