#include "mapi_message.h"

namespace parcelo {

namespace {

uint16_t typeOf(uint32_t tag) {
    return static_cast<uint16_t>(tag & 0xFFFF);
}

bool isNamedByNumber(const MapiProperty& property, uint32_t tag) {
    return property.name && property.name->number && *property.name->number == tag >> 16 &&
           typeOf(property.tag) == typeOf(tag);
}

}  // namespace

std::optional<ValueBytes> MapiPropertyList::find(uint32_t tag) const {
    for (const MapiProperty& property : properties_) {
        if (!property.name && property.tag == tag && !property.values.empty())
            return property.values.front();
    }
    return std::nullopt;
}

std::optional<ValueBytes> MapiPropertyList::findNamed(uint32_t tag) const {
    for (const MapiProperty& property : properties_) {
        if (isNamedByNumber(property, tag) && !property.values.empty())
            return property.values.front();
    }
    return std::nullopt;
}

std::vector<ValueBytes> MapiPropertyList::findAllNamed(uint32_t tag) const {
    for (const MapiProperty& property : properties_) {
        if (isNamedByNumber(property, tag))
            return property.values;
    }
    return {};
}

std::optional<ValueBytes> MapiPropertyList::findNamed(const PropertySetGuid& set,
                                                      std::string_view name, uint16_t type) const {
    for (const MapiProperty& property : properties_) {
        if (property.name && !property.name->number && property.name->set == set &&
            property.name->text == name && typeOf(property.tag) == type && !property.values.empty())
            return property.values.front();
    }
    return std::nullopt;
}

}  // namespace parcelo
