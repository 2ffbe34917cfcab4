// What a mail reader shows above a message's body: sender, date, recipients, subject and
// importance, read from whatever the stream holds of them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "mapi_message.h"

namespace parcelo {

// A sender or recipient; either part may be empty. A recipient known only from a display
// list ("Ann; Bob") is one address whose name is that list.
struct MessageAddress {
    std::string name;
    std::string address;  // an SMTP address where the stream gives one

    // "Name <address>", or whichever of the two there is.
    std::string display() const;
};

enum class MessageImportance { kLow, kNormal, kHigh };

struct MessageHeader {
    MessageAddress from;
    std::optional<int64_t> sentTime;  // seconds since 1970-01-01 UTC
    std::vector<MessageAddress> to;
    std::vector<MessageAddress> cc;
    std::string subject;
    MessageImportance importance = MessageImportance::kNormal;

    // Whether there is nothing to show: a bare body.
    bool empty() const;
};

// The header of one parsed message: the recipient table, else PR_DISPLAY_TO/CC; the sender
// it was sent for, else the sender, else attFrom; PR_CLIENT_SUBMIT_TIME, else attDateSent;
// the subject, else the conversation topic; PR_IMPORTANCE.
MessageHeader ReadMessageHeader(const MapiMessage& message);

}  // namespace parcelo
