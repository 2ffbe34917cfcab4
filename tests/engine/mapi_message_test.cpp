#include "mapi_message.h"

#include <functional>

#include <gtest/gtest.h>

#include "tnef_builder.h"
#include "writer_test_support.h"

namespace parcelo::testing {
namespace {

// The property set the test streams name their properties in.
const std::string kSet("\x29\x03\x02\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 16);

PropertySetGuid setOf(const std::string& bytes) {
    PropertySetGuid set{};
    std::copy(bytes.begin(), bytes.end(), set.begin());
    return set;
}

// Every value up to its first NUL, joined by "|"; "-" when nothing is found.
std::string Shown(const std::vector<ValueBytes>& values) {
    if (values.empty())
        return "-";
    std::string shown;
    for (const ValueBytes& value : values) {
        const std::string bytes = value.load();
        shown += (shown.empty() ? "" : "|") + bytes.substr(0, bytes.find('\0'));
    }
    return shown;
}

std::string Shown(const std::optional<ValueBytes>& value) {
    return value ? Shown(std::vector<ValueBytes>{*value}) : "-";
}

// A named multi-valued PT_MV_BINARY property, which the builder has no call for.
std::string NamedMultiValued(uint16_t streamId, uint32_t lid, const std::string& set) {
    return le32(static_cast<uint32_t>(streamId) << 16 | 0x1102) + set + le32(0) + le32(lid) +
           le32(2) + le32(3) + "one" + std::string(1, '\0') + le32(3) + "two" +
           std::string(1, '\0');
}

struct LookupCase {
    const char* name;
    std::function<std::string(const MapiPropertyList&)> lookup;
    std::string found;
};

class Lookups : public ::testing::TestWithParam<LookupCase> {};

// The TNEF front end keeps each property's name; a lookup finds only its own kind of name.
TEST_P(Lookups, FindOnlyTheirOwnKindOfName) {
    // The string-named property gets stream id 0x8000, the first numeric one 0x8001.
    const PropertyList props =
        PropertyList()
            .namedByString(u"Keywords", kPtString8, std::string("by name\0", 8))
            .string8(0x0037, "standard")
            .namedString8(0x0037, "named 0x0037")
            .countOverride(4)
            .rawTail(NamedMultiValued(0x8002, 0x8054, kSet));
    const ParsedMessage parsed(TnefBuilder().messageProps(props).bytes());
    EXPECT_EQ(GetParam().lookup(parsed.message().properties), GetParam().found);
}

INSTANTIATE_TEST_SUITE_P(
    MapiPropertyList, Lookups,
    ::testing::Values(
        LookupCase{"Standard", [](const MapiPropertyList& p) { return Shown(p.find(0x0037001E)); },
                   "standard"},
        LookupCase{"NamedByNumber",
                   [](const MapiPropertyList& p) { return Shown(p.findNamed(0x0037001E)); },
                   "named 0x0037"},
        LookupCase{"StreamIdOfAStringNameIsNoNumber",
                   [](const MapiPropertyList& p) { return Shown(p.findNamed(0x8000001E)); }, "-"},
        LookupCase{"StreamIdOfANamedPropertyIsNoStandardOne",
                   [](const MapiPropertyList& p) { return Shown(p.find(0x8001001E)); }, "-"},
        LookupCase{"NamedByString",
                   [](const MapiPropertyList& p) {
                       return Shown(p.findNamed(setOf(kSet), "Keywords", 0x001E));
                   },
                   "by name"},
        LookupCase{"StringNameInAnotherSet",
                   [](const MapiPropertyList& p) {
                       return Shown(p.findNamed(PropertySetGuid{}, "Keywords", 0x001E));
                   },
                   "-"},
        LookupCase{"StringNameOfAnotherType",
                   [](const MapiPropertyList& p) {
                       return Shown(p.findNamed(setOf(kSet), "Keywords", 0x001F));
                   },
                   "-"},
        LookupCase{"AllValuesOfAMultiValuedOne",
                   [](const MapiPropertyList& p) { return Shown(p.findAllNamed(0x80541102)); },
                   "one|two"},
        LookupCase{"MultiValuedOfAnotherType",
                   [](const MapiPropertyList& p) { return Shown(p.findAllNamed(0x80541003)); },
                   "-"}),
    CaseName());

}  // namespace
}  // namespace parcelo::testing
