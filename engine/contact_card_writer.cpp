#include "contact_card_writer.h"

namespace parcelo {

void WriteContactCard(ExtractionRun&, const TnefMessage&) {}

}  // namespace parcelo
