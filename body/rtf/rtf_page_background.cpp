// Shapes: the page background, the fill colour of the {\*\background} shape read from its
// property groups, and the picture of a floating shape ({\sp{\sn pib}{\sv{\pict ..}}}),
// shown where the shape is anchored. Anything else of a shape is read from its \shprslt
// rendering.
#include "body/rtf/rtf_interpreter_state.h"

#include <algorithm>

namespace parcelo::rtf {

namespace {

// Shape properties give colours as a COLORREF, 0x00BBGGRR in decimal. A high byte that is not
// zero marks a scheme or system colour, whose value is not known here.
QColor colorOfColorRef(QStringView text) {
    bool ok = false;
    const qlonglong value = text.trimmed().toLongLong(&ok);
    if (!ok || value < 0 || value > 0xFFFFFF)
        return {};
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>(value >> 8 & 0xFF),
                  static_cast<int>(value >> 16 & 0xFF));
}

}  // namespace

void Interpreter::pageBackgroundWord(Group& g, const Word& word) {
    switch (word.kw) {
        case Kw::PageBackground:
            g.dest = html() ? Dest::Skip : Dest::PageBackground;
            fillColor_ = QColor();
            shapeName_.clear();
            return;
        case Kw::Shape:
            shapeHadPicture_ = false;
            return;
        case Kw::ShapeInstructions:
            if (g.dest != Dest::Skip)
                g.dest = html() ? Dest::Skip : Dest::Shape;
            return;
        case Kw::ShapeResult:
            // The rendering of a shape whose picture was shown would show it again.
            if (shapeHadPicture_)
                g.dest = Dest::Skip;
            else if (g.dest != Dest::Skip)
                g.dest = Dest::Text;
            return;
        default:
            return;  // a shape's properties matter only in the background
    }
}

bool Interpreter::inPageBackground() const {
    return std::any_of(groups_.begin(), groups_.end(),
                       [](const Group& g) { return g.dest == Dest::PageBackground; });
}

void Interpreter::startShapePicture(Group& g, const Word& word) {
    pictureWord(g, word);
    if (g.dest == Dest::Picture)
        shapeHadPicture_ = true;
}

void Interpreter::shapeInstructionWord(Group& g, const Word& word) {
    switch (word.kw) {
        case Kw::Pict:
            startShapePicture(g, word);
            return;
        case Kw::ShapeProperty:
        case Kw::ShapePropertyName:
        case Kw::ShapePropertyValue:
            shapeWord(g, word);
            return;
        case Kw::SkipDest:
            g.dest = Dest::Skip;  // a \nonshppict copy, say
            return;
        default:
            return;  // the shape's place, size and text box are not shown
    }
}

void Interpreter::shapeWord(Group& g, const Word& word) {
    switch (word.kw) {
        case Kw::Pict:
            if (shapeName_ == u"pib" && !inPageBackground()) {
                startShapePicture(g, word);
                return;
            }
            g.dest = Dest::Skip;
            return;
        case Kw::Shape:
        case Kw::ShapeInstructions:
            return;  // read through: it holds the shape's properties
        case Kw::ShapeProperty:
            shapeName_.clear();
            return;
        case Kw::ShapePropertyName:
            g.dest = Dest::ShapePropertyName;
            shapeText_.clear();
            return;
        case Kw::ShapePropertyValue:
            g.dest = Dest::ShapePropertyValue;
            shapeText_.clear();
            return;
        default:
            // A fill picture, the shape's text or anything else in its own group is not part
            // of the body; words that open no group change nothing here.
            if (word.opensDestination)
                g.dest = Dest::Skip;
            return;
    }
}

void Interpreter::endShapeGroup(Dest dest) {
    switch (dest) {
        case Dest::ShapePropertyName:
            shapeName_ = shapeText_.trimmed();
            return;
        case Dest::ShapePropertyValue:
            if (shapeName_ == u"fillColor")
                fillColor_ = colorOfColorRef(shapeText_);
            return;
        case Dest::PageBackground:
            // Without a colour of its own (a picture or pattern fill without one), the page is
            // white as in Word.
            builder_->setPageBackground(fillColor_.isValid() ? fillColor_ : QColor(Qt::white));
            return;
        default:
            return;
    }
}

}  // namespace parcelo::rtf
