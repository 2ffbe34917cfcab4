#include "distribution_list.h"

#include <optional>
#include <string_view>

#include "code_page.h"
#include "property_lookup.h"

namespace parcelo {

namespace {

constexpr uint16_t kPtMvBinary = 0x1102;
constexpr uint16_t kLidDistributionListName = 0x8053;
constexpr uint32_t kLidDistributionListOneOffMembers = PropertyTag(0x8054, kPtMvBinary);
constexpr uint32_t kLidDistributionListMembers = PropertyTag(0x8055, kPtMvBinary);
constexpr uint16_t kPrDisplayName = 0x3001;

// The provider of one-off entry IDs (MS-OXCDATA 2.2.5.1), which carry the member's name,
// address type and address themselves.
constexpr std::string_view kOneOffProvider(
    "\x81\x2B\x1F\xA4\xBE\xA3\x10\x19\x9D\x6E\x00\xDD\x01\x0F\x54\x02", 16);
constexpr uint16_t kOneOffUnicode = 0x8000;

// Reads the NUL-terminated strings of an entry ID, 8-bit or UTF-16LE.
class EntryStrings {
  public:
    EntryStrings(std::string_view bytes, bool unicode, uint32_t codePage)
        : bytes_(bytes), unicode_(unicode), codePage_(codePage) {}

    std::string next() {
        if (unicode_) {
            size_t end = at_;
            while (end + 1 < bytes_.size() && (bytes_[end] != '\0' || bytes_[end + 1] != '\0'))
                end += 2;
            const std::string text = ConvertUtf16LeToUtf8(bytes_.substr(at_, end - at_));
            at_ = std::min(end + 2, bytes_.size());
            return text;
        }
        const size_t end = std::min(bytes_.find('\0', at_), bytes_.size());
        std::string text = TextValue(std::string(bytes_.substr(at_, end - at_)), codePage_).text();
        at_ = std::min(end + 1, bytes_.size());
        return text;
    }

  private:
    std::string_view bytes_;
    size_t at_ = 0;
    bool unicode_;
    uint32_t codePage_;
};

// The member a one-off entry ID names, found wherever the value holds one (a wrapped entry
// ID of the members list holds it after its own header).
std::optional<DistributionList::Member> oneOffMember(std::string_view entry, uint32_t codePage) {
    const size_t provider = entry.find(kOneOffProvider);
    if (provider == std::string_view::npos || provider < 4)
        return std::nullopt;
    const size_t flagsAt = provider + kOneOffProvider.size() + 2;  // past the version
    if (flagsAt + 2 > entry.size())
        return std::nullopt;
    const auto flags = static_cast<uint16_t>(static_cast<unsigned char>(entry[flagsAt]) |
                                             static_cast<unsigned char>(entry[flagsAt + 1]) << 8);
    EntryStrings strings(entry.substr(flagsAt + 2), (flags & kOneOffUnicode) != 0, codePage);
    DistributionList::Member member;
    member.name = strings.next();
    member.addressType = strings.next();
    member.address = strings.next();
    return member;
}

}  // namespace

DistributionList ReadDistributionList(const MapiMessage& message) {
    const PropertyLookup lookup(message.properties, message.codePage);
    DistributionList list;
    for (const std::optional<TextValue>& name :
         {lookup.namedText(kLidDistributionListName), lookup.text(kPrDisplayName)}) {
        if (name && name->isNonEmpty()) {
            list.name = name->text();
            break;
        }
    }
    if (list.name.empty() && message.subject)
        list.name = lookup.messageText(*message.subject).text();

    // The one-off list names every member; the members list only those not in an address
    // book, so it is read only when the other is missing.
    std::vector<ValueBytes> entries =
        message.properties.findAllNamed(kLidDistributionListOneOffMembers);
    if (entries.empty())
        entries = message.properties.findAllNamed(kLidDistributionListMembers);
    for (const ValueBytes& entry : entries) {
        if (std::optional<DistributionList::Member> member =
                oneOffMember(entry.load(), message.codePage)) {
            list.members.push_back(std::move(*member));
        }
    }
    return list;
}

ItemCard DistributionListCard(const DistributionList& list) {
    ItemCard card;
    card.kind = ItemCard::Kind::kDistributionList;
    card.title = list.name;
    std::string members;
    for (const DistributionList::Member& member : list.members) {
        if (!members.empty())
            members += '\n';
        members += member.name;
        if (!member.address.empty() && member.address != member.name)
            members += (member.name.empty() ? "<" : " <") + member.address + ">";
    }
    card.addRow("Members:", members);
    return card;
}

void ShowDistributionList(ExtractionRun& run, const MapiMessage& message) {
    if (run.onCard)
        run.onCard(DistributionListCard(ReadDistributionList(message)));
}

}  // namespace parcelo
