// Writes small TNEF streams into a folder as seeds for fuzz_extract.
#include <cstdio>
#include <string>

#include "scratch_dir.h"
#include "tnef_builder.h"

using namespace parcelo::testing;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_extract_seeds DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    const std::string rtf = compressRtf("{\\rtf1\\ansi Hello\\par}");
    WriteFile(dir + "/note.tnef",
              TnefBuilder()
                  .tnefVersion()
                  .oemCodepage(1252)
                  .messageClass("IPM.Microsoft Mail.Note")
                  .subject("Hello World")
                  .messageProps(PropertyList().binary(0x1009, rtf))
                  .attach("a.txt", "hi", PropertyList().string8(0x3707, "long a.txt"))
                  .bytes());
    WriteFile(dir + "/nested.tnef",
              TnefBuilder()
                  .attach("fwd", "",
                          PropertyList().object(
                              0x3701, iid() + TnefBuilder().attach("in.txt", "x").bytes()))
                  .bytes());
    WriteFile(dir + "/contact.tnef", TnefBuilder()
                                         .messageClass("IPM.Contact")
                                         .messageProps(PropertyList()
                                                           .string8(0x3001, "John Smith")
                                                           .string8(0x3A16, "Acme")
                                                           .unicode(0x3A29, u"Main St")
                                                           .namedString8(0x8083, "john@example.com")
                                                           .sysTime(0x3A42, fileTime(1970, 5, 3)))
                                         .bytes());
    WriteFile(dir + "/task.tnef", TnefBuilder()
                                      .messageClass("IPM.Task")
                                      .subject("Call Bob")
                                      .messageId("id1")
                                      .body("note")
                                      .messageProps(PropertyList()
                                                        .string8(0x0070, "Call Bob ")
                                                        .string8(0x0E04, "Ann")
                                                        .namedString8(0x811F, "Ann; Bob")
                                                        .namedBoolean(0x8506, 1))
                                      .bytes());
    std::string recur = le16(0x3004) + le16(0x3004) + le16(0x200B) + le16(0) + le32(0) + le32(0) +
                        le32(1) + le32(0) + le32(0x0A) + le32(0x2022) + le32(10) + le32(0);
    WriteFile(dir + "/meeting.tnef",
              TnefBuilder()
                  .messageClass("IPM.Microsoft Schedule.MtgReq")
                  .messageProps(PropertyList()
                                    .namedString8(0x0024, "IPM.Appointment")
                                    .namedBinary(0x0003, std::string(56, '\x04'))
                                    .namedString8(0x823B, "Ann; Bob")
                                    .namedSysTime(0x820D, fileTime(2005, 3, 1, 14, 5, 9))
                                    .namedBinary(0x8216, recur)
                                    .binary(0x0C1D, "SMTP:ORG@EXAMPLE.COM")
                                    .binary(0x1009, rtf))
                  .bytes());
    return 0;
}
