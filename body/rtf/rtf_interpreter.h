// The reading of RTF itself: groups, destinations, the font, colour and list tables, and the
// character and paragraph properties. Native bodies go to a DocumentBuilder; bodies that
// encapsulate HTML give back the HTML they carry.
#pragma once

#include <QString>

#include <string_view>

namespace parcelo {

class DocumentBuilder;

// Reads `rtf` as a native RTF document into `builder`.
void InterpretRtf(std::string_view rtf, DocumentBuilder& builder);

// The HTML encapsulated in `rtf` (a \fromhtml1 body): its \htmltag groups and the text that is
// not marked \htmlrtf.
QString InterpretEncapsulatedHtml(std::string_view rtf);

}  // namespace parcelo
