// Outlook distribution lists (class "IPM.DistList"): no file, only a card with the list's
// name and its members.
#pragma once

#include <string>
#include <vector>

#include "extraction_run.h"
#include "item_card.h"

namespace parcelo {

struct DistributionList {
    struct Member {
        std::string name;         // UTF-8
        std::string addressType;  // "SMTP", "EX", …
        std::string address;
    };
    std::string name;
    std::vector<Member> members;
};

// The list's name and the members whose one-off entry IDs the message holds, in order.
DistributionList ReadDistributionList(const MapiMessage& message);

// The card of the list.
ItemCard DistributionListCard(const DistributionList& list);

// Hands the list's card to the run's onCard.
void ShowDistributionList(ExtractionRun& run, const MapiMessage& message);

}  // namespace parcelo
