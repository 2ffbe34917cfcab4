// Writes small .msg files into a folder as seeds for fuzz_msg.
#include <cstdio>
#include <string>

#include "msg_builder.h"
#include "scratch_dir.h"

using namespace parcelo::testing;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_msg_seeds DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    WriteFile(dir + "/note.msg", MsgBuilder()
                                     .string8(0x001A, "IPM.Note")
                                     .unicode(0x0037, u"Hello")
                                     .long32(0x3FFD, 1252)
                                     .recipient(MsgBuilder::Recipient().string8(0x3001, "Ann"))
                                     .attach(MsgBuilder::Attachment()
                                                 .long32(0x3705, 1)
                                                 .string8(0x3707, "a.txt")
                                                 .binary(0x3701, "hi"))
                                     .bytes());
    MsgBuilder contact;
    const uint16_t email =
        contact.name({0x04, 0x20, 0x06, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46}, 0x8083);
    const uint16_t keywords =
        contact.name({0x29, 0x03, 0x02, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46}, u"Keywords");
    contact.string8(0x001A, "IPM.Contact")
        .string8(email, "john@example.com")
        .multiString8(keywords, {"a", "b"})
        .multiBinary(0x0E60, {"x", "yz"})
        .multiLong(0x0E5E, {1, 2});
    WriteFile(dir + "/contact.msg", contact.bytes());
    WriteFile(dir + "/embedded.msg",
              MsgBuilder()
                  .string8(0x001A, "IPM.Note")
                  .attach(MsgBuilder::Attachment().long32(0x3705, 5).object(
                      MsgBuilder::Embedded()
                          .string8(0x001A, "IPM.Task")
                          .attach(MsgBuilder::Attachment().binary(0x3701, "in"))))
                  .attach(MsgBuilder::Attachment().long32(0x3705, 6).object(
                      MsgBuilder().noProperties().stream("Workbook", "cells")))
                  .storage("Olk10SideProps_0001", MsgBuilder().string8(0x0037, "side"))
                  .bytes());
    return 0;
}
