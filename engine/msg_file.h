// Outlook's .msg files (a message in an OLE2 compound file) read into the engine's message
// model, as the TNEF front end reads a stream.
#pragma once

#include <memory>

#include "byte_source.h"
#include "mapi_message.h"

namespace parcelo {

// Whether `source` is a compound file with a message's property stream at its root.
bool LooksLikeMsgFile(const ByteSource& source);

// The message of a .msg file, its attachments, embedded messages and recipients; null when
// `source` is not one. Damage (streams cut short, property headers that disagree with what
// is stored) is noted in the message's `damage`, and what could be read is kept.
std::shared_ptr<const MapiMessage> ReadMsgFile(const ByteSource& source);

}  // namespace parcelo
