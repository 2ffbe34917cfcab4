// How the window's controls follow its size once it is larger than its template: which edge
// of the window each control keeps its distance to, and which ones take the extra room.
#pragma once

#include <QRect>
#include <QSize>

namespace parcelo {

// Where template control `id` goes in a window `growth` pixels wider and taller than the
// template, from where it sits at the template's size. The field takes the extra width,
// the buttons on the right and at the bottom keep their distance to those edges; the body
// and the attachment list share the extra room through the splitter that holds them.
QRect GrownGeometry(int id, const QRect& atTemplateSize, QSize growth);

}  // namespace parcelo
