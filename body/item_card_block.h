// A converted item's card put into the body view's document, the way a mail reader shows
// an appointment or a contact.
#pragma once

#include "engine/item_card.h"

class QTextDocument;

namespace parcelo {

// Appends the card at the end of `document`: its title as a heading, a two-column table of
// labels and values, then the description. A card that follows something else is set apart
// by a blank line, as bodies are.
void AppendItemCard(QTextDocument& document, const ItemCard& card);

}  // namespace parcelo
