// The TNEF front end: a TNEF stream (the outer message or one nested in an attachment)
// read into the engine's message model, the TNEF library doing the parsing.
#pragma once

#include <memory>

#include "byte_source.h"
#include "mapi_message.h"

namespace parcelo {

// Reads a stream; `source` must outlive the message, whose large values stay in it. Null
// when the stream does not begin with the TNEF signature; a stream with the signature and
// nothing readable after it gives a message with `partsRead` 0.
std::shared_ptr<const MapiMessage> ReadTnefMessage(const ByteSource& source, int debugLevel);

}  // namespace parcelo
