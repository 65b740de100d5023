// The Qt backend's edit: a line edit that can show the mark of a number that
// hit. The mark is a bold text on a tinted ground inside a frame of two pixels,
// solid for a main number and dashed for the bonus number, so that it does not
// rest on colour alone; its colours (MarkColours.h) follow the palette's light
// or dark ground.
// Which field is marked, and when the mark goes, is decided above the backend.
#pragma once

#include "Hits.h"

#include <QLineEdit>

namespace Backend {

class MarkedEdit : public QLineEdit {
public:
    explicit MarkedEdit(QWidget* parent) : QLineEdit(parent) {}

    lotto::HitMark mark() const { return m_mark; }
    void setMark(lotto::HitMark mark);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    lotto::HitMark m_mark = lotto::HitMark::None;
};

}  // namespace Backend
