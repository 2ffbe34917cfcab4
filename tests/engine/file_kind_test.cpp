// Files told apart by their first bytes, whatever their names.
#include "file_kind.h"

#include <gtest/gtest.h>

#include <string>

#include "msg_builder.h"

namespace parcelo::testing {
namespace {

TEST(FileKindTest, TheContentTellsTheKind) {
    const struct {
        std::string bytes;
        FileKind kind;
    } cases[] = {
        {std::string("\x78\x9F\x3E\x22\x01\x00", 6), FileKind::kTnef},
        {MsgBuilder().string8(0x001A, "IPM.Note").bytes(), FileKind::kMsg},
        // A compound file without a message's properties is Word's or Excel's, not Outlook's.
        {MsgBuilder().noProperties().stream("WordDocument", "text").bytes(), FileKind::kOther},
        {std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8), FileKind::kOther},
        {"From: a@example.com\r\nSubject: x\r\n\r\nbody", FileKind::kMail},
        {"Received: from a\n\tby b\nX-Spam: no\nTo: b@example.com\n\nbody", FileKind::kMail},
        {"From ann@example.com Tue Dec  1 10:00:00 2026\nSubject: x\n\n", FileKind::kMail},
        // Headers with no body at all are still mail.
        {"Subject: x\r\nTo: b@example.com\r\n", FileKind::kMail},
        // A colon in text, or fields no mail begins with, do not make mail.
        {"Note: bring the slides\n\nThanks\n", FileKind::kOther},
        {"Subject: x\nand then some text\n\n", FileKind::kOther},
        {"\nSubject: x\n\n", FileKind::kOther},
        {" Subject: x\n\n", FileKind::kOther},
        {"Subject x\n\n", FileKind::kOther},
        {"From the desk of Ann\nDear all,\n\n", FileKind::kOther},
        {"", FileKind::kOther},
        {"\x78\x9F", FileKind::kOther},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DetectFileKind(MemorySource(c.bytes.data(), c.bytes.size())), c.kind) << c.bytes;
    }
}

}  // namespace
}  // namespace parcelo::testing
