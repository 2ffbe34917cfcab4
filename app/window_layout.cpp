#include "window_layout.h"

#include "dialog_template.h"

namespace parcelo {

namespace {

struct Anchoring {
    bool movesRight;
    bool movesDown;
    bool takesWidth;
    bool takesHeight;
};

Anchoring AnchoringOf(int id) {
    switch (id) {
        case kIdcFileName:
            return {false, false, true, false};
        case kIdcBrowse:  // stays beside the field
        case kIdcAbout:
            return {true, false, false, false};
        case kIdcPrint:
        case kIdcSave:
            return {false, true, false, false};
        case kIdcClose:
            return {true, true, false, false};
        case kIdcBody:  // the splitter that holds the body and the list
            return {false, false, true, true};
        default:  // the labels above the field, the body and the list
            return {false, false, false, false};
    }
}

}  // namespace

QRect GrownGeometry(int id, const QRect& atTemplateSize, QSize growth) {
    const Anchoring anchoring = AnchoringOf(id);
    QRect rect = atTemplateSize;
    rect.translate(anchoring.movesRight ? growth.width() : 0,
                   anchoring.movesDown ? growth.height() : 0);
    if (anchoring.takesWidth)
        rect.setWidth(rect.width() + growth.width());
    if (anchoring.takesHeight)
        rect.setHeight(rect.height() + growth.height());
    return rect;
}

}  // namespace parcelo
