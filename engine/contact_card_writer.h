// Outlook contacts (class "IPM.Contact") as vCard 2.1 files.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "extraction_run.h"
#include "file_time.h"
#include "item_card.h"
#include "property_lookup.h"

namespace parcelo {

// The values of a contact, read once, from which both its file and its card are made.
struct ContactItem {
    // Post office box, street, city, state or province, postal code, country; and the
    // address as one text, when the contact has one.
    struct Address {
        std::array<std::optional<TextValue>, 6> fields;
        std::optional<TextValue> label;
        bool present() const;
    };

    std::optional<TextValue> name;  // the display name, else the company
    std::string fileName;
    // One value per line of the writer's tables, in their order.
    std::vector<std::optional<TextValue>> people;
    std::vector<std::optional<TextValue>> work;
    std::vector<std::optional<TextValue>> telephones;
    std::vector<std::optional<TextValue>> web;
    std::optional<TextValue> company;
    std::optional<TextValue> department;
    std::optional<TextValue> note;
    std::array<Address, 3> addresses;  // work, home, other
    std::array<std::optional<TextValue>, 3> emails;
    std::optional<CalendarTime> birthday;
    std::optional<CalendarTime> anniversary;
};

// The contact's values as the message holds them.
ContactItem ReadContactItem(const MapiMessage& message);

// The file's content.
std::string ContactCardText(const ContactItem& contact);

// The card of the contact.
ItemCard ContactCard(const ContactItem& contact);

// Writes the contact as "<name>.vcf" in the run's output directory and records it; its
// card goes to the run's onCard.
void WriteContactCard(ExtractionRun& run, const MapiMessage& message);

}  // namespace parcelo
