#include "mail_file.h"

#include <gmime/gmime.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <mutex>
#include <string_view>

#include "code_page.h"
#include "extraction_run.h"

namespace parcelo {

namespace {

constexpr std::string_view kTnefHead("\x78\x9F\x3E\x22", 4);
constexpr std::string_view kOle2Signature("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
// How much of a file is looked at to tell whether it is mail.
constexpr size_t kHeaderPrefix = 16 * 1024;
// Multiparts nested deeper than this inside one message are not looked into. GMime bounds
// its own nesting too; this keeps the walk's stack small whatever GMime allows.
constexpr int kMaxPartLevel = 64;
// GMime holds every part and header field of a message as objects of a kilobyte or so, and
// splits structured fields into their words: a few bytes of input can cost it far more than
// themselves. What it is handed of a message is bounded so that its memory stays a small
// multiple of the input: boundary lines past the first kMaxBoundaryLines end the message,
// fields past kMaxFieldsInBlock in one header are dropped, and a field is cut at
// kMaxFieldBytes.
constexpr int kMaxBoundaryLines = 10000;
constexpr int kMaxFieldsInBlock = 1000;
constexpr size_t kMaxFieldBytes = 64 * 1024;
// Past this many boundaries declared in a message, every line beginning "--" is taken for
// one, which bounds the time spent comparing.
constexpr size_t kMaxBoundaries = 256;

// Fields one of which mail's header holds near its start, whatever wrote it; plain text
// with a colon in its first line ("Note: ...") names none of them.
constexpr std::array<std::string_view, 14> kMailFields = {
    "from",         "to",           "cc",       "subject",     "date",
    "message-id",   "mime-version", "received", "return-path", "delivered-to",
    "content-type", "reply-to",     "sender",   "x-mailer"};

template <typename T>
struct GObjectUnref {
    void operator()(T* object) const { g_object_unref(object); }
};
template <typename T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref<T>>;

struct GFree {
    void operator()(void* memory) const { g_free(memory); }
};
using GString = std::unique_ptr<char, GFree>;

std::string textOf(const char* text) {
    return text ? std::string(text) : std::string();
}

bool beginsWith(std::string_view bytes, std::string_view head) {
    return bytes.substr(0, head.size()) == head;
}

void initializeGMime() {
    static std::once_flag once;
    std::call_once(once, [] { g_mime_init(); });
}

// Whether `line` is a header field ("Name: value"): a name of printable ASCII other than the
// colon, then the colon. Gives the name.
bool isFieldLine(std::string_view line, std::string& name) {
    const size_t colon = line.find(':');
    if (colon == 0 || colon == std::string_view::npos)
        return false;
    for (const char c : line.substr(0, colon)) {
        if (c < 33 || c > 126)
            return false;
    }
    name = LoweredAscii(line.substr(0, colon));
    return true;
}

void appendAddresses(InternetAddressList* list, std::vector<MessageAddress>& out) {
    if (list == nullptr)
        return;
    for (int i = 0; i < internet_address_list_length(list); ++i) {
        InternetAddress* address = internet_address_list_get_address(list, i);
        if (INTERNET_ADDRESS_IS_MAILBOX(address)) {
            out.push_back(
                {textOf(internet_address_get_name(address)),
                 textOf(internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(address)))});
        } else if (INTERNET_ADDRESS_IS_GROUP(address)) {
            // A group's members are the recipients; groups hold no groups (RFC 5322 3.4), and
            // a nested one is not followed.
            InternetAddressList* members =
                internet_address_group_get_members(INTERNET_ADDRESS_GROUP(address));
            for (int j = 0; j < internet_address_list_length(members); ++j) {
                InternetAddress* member = internet_address_list_get_address(members, j);
                if (INTERNET_ADDRESS_IS_MAILBOX(member)) {
                    out.push_back({textOf(internet_address_get_name(member)),
                                   textOf(internet_address_mailbox_get_addr(
                                       INTERNET_ADDRESS_MAILBOX(member)))});
                }
            }
        }
    }
}

// Importance as Outlook writes it, else the X-Priority other programs write ("1 (Highest)").
MessageImportance importanceOf(GMimeObject* message) {
    const std::string importance =
        LoweredAscii(textOf(g_mime_object_get_header(message, "Importance")));
    if (importance.find("high") != std::string::npos)
        return MessageImportance::kHigh;
    if (importance.find("low") != std::string::npos)
        return MessageImportance::kLow;
    const std::string priority = textOf(g_mime_object_get_header(message, "X-Priority"));
    const size_t digit = priority.find_first_not_of(" \t");
    if (digit != std::string::npos && (priority[digit] == '1' || priority[digit] == '2'))
        return MessageImportance::kHigh;
    if (digit != std::string::npos && (priority[digit] == '4' || priority[digit] == '5'))
        return MessageImportance::kLow;
    return MessageImportance::kNormal;
}

MessageHeader headerOf(GMimeMessage* message) {
    MessageHeader header;
    std::vector<MessageAddress> from;
    appendAddresses(g_mime_message_get_from(message), from);
    if (from.empty())
        appendAddresses(g_mime_message_get_sender(message), from);
    if (!from.empty())
        header.from = from.front();
    if (GDateTime* date = g_mime_message_get_date(message))
        header.sentTime = g_date_time_to_unix(date);
    appendAddresses(g_mime_message_get_addresses(message, GMIME_ADDRESS_TYPE_TO), header.to);
    appendAddresses(g_mime_message_get_addresses(message, GMIME_ADDRESS_TYPE_CC), header.cc);
    header.subject = textOf(g_mime_message_get_subject(message));
    header.importance = importanceOf(GMIME_OBJECT(message));
    return header;
}

std::string mimeTypeOf(GMimeObject* object) {
    GMimeContentType* type = g_mime_object_get_content_type(object);
    if (type == nullptr)
        return "text/plain";
    const GString name(g_mime_content_type_get_mime_type(type));
    return LoweredAscii(textOf(name.get()));
}

std::string bytesOf(GMimeStream* stream) {
    const GByteArray* array = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(stream));
    return array ? std::string(reinterpret_cast<const char*>(array->data), array->len)
                 : std::string();
}

// A leaf part's content without its transfer encoding.
std::string decodedContent(GMimePart* part) {
    GMimeDataWrapper* wrapper = g_mime_part_get_content(part);
    if (wrapper == nullptr)
        return {};
    const GObjectPtr<GMimeStream> memory(g_mime_stream_mem_new());
    g_mime_data_wrapper_write_to_stream(wrapper, memory.get());
    return bytesOf(memory.get());
}

// A message as it was sent, for one nested too deep to read.
std::string serialized(GMimeObject* object) {
    const GObjectPtr<GMimeStream> memory(g_mime_stream_mem_new());
    g_mime_object_write_to_stream(object, nullptr, memory.get());
    return bytesOf(memory.get());
}

std::string fileNameOf(GMimeObject* object) {
    if (GMIME_IS_PART(object))
        return textOf(g_mime_part_get_filename(GMIME_PART(object)));
    std::string name = textOf(g_mime_object_get_content_disposition_parameter(object, "filename"));
    return name.empty() ? textOf(g_mime_object_get_content_type_parameter(object, "name")) : name;
}

// Whether a text part is shown as a body rather than listed: neither marked an attachment
// nor named, as mail readers tell them apart.
bool isInlineText(GMimeObject* object, const std::string& type) {
    if (type != "text/plain" && type != "text/html")
        return false;
    const std::string disposition = LoweredAscii(textOf(g_mime_object_get_disposition(object)));
    return disposition != "attachment" && fileNameOf(object).empty();
}

// The part of a multipart/alternative a mail reader shows: the last HTML one (or a
// multipart holding HTML first), else the last plain text one; null when none is text.
GMimeObject* preferredAlternative(GMimeMultipart* alternative) {
    GMimeObject* html = nullptr;
    GMimeObject* text = nullptr;
    for (int i = 0; i < g_mime_multipart_get_count(alternative); ++i) {
        GMimeObject* child = g_mime_multipart_get_part(alternative, i);
        GMimeObject* first = child;
        if (GMIME_IS_MULTIPART(child) && g_mime_multipart_get_count(GMIME_MULTIPART(child)) > 0)
            first = g_mime_multipart_get_part(GMIME_MULTIPART(child), 0);
        const std::string type = mimeTypeOf(first);
        if (type == "text/html")
            html = child;
        else if (type == "text/plain" && first == child)
            text = child;
    }
    return html ? html : text;
}

MailMessage readMessage(GMimeMessage* message, int depth);

class PartWalk {
  public:
    PartWalk(MailMessage& message, int depth) : message_(message), depth_(depth) {}

    void walk(GMimeObject* object, int level) {
        if (object == nullptr || level > kMaxPartLevel)
            return;
        if (GMIME_IS_MULTIPART(object)) {
            walkMultipart(GMIME_MULTIPART(object), level);
        } else if (GMIME_IS_MESSAGE_PART(object)) {
            walkMessagePart(object);
        } else if (GMIME_IS_PART(object)) {
            walkLeaf(GMIME_PART(object));
        }
    }

  private:
    void walkMultipart(GMimeMultipart* multipart, int level) {
        GMimeContentType* type = g_mime_object_get_content_type(GMIME_OBJECT(multipart));
        const bool alternative =
            type &&
            LoweredAscii(textOf(g_mime_content_type_get_media_subtype(type))) == "alternative";
        GMimeObject* preferred = alternative ? preferredAlternative(multipart) : nullptr;
        for (int i = 0; i < g_mime_multipart_get_count(multipart); ++i) {
            GMimeObject* child = g_mime_multipart_get_part(multipart, i);
            // The other renderings of the text are the same text: a reader shows one.
            if (preferred && child != preferred) {
                const std::string childType = mimeTypeOf(child);
                if (childType == "text/plain" || childType == "text/html" ||
                    GMIME_IS_MULTIPART(child))
                    continue;
            }
            walk(child, level + 1);
        }
    }

    void walkMessagePart(GMimeObject* object) {
        GMimeMessage* nested = g_mime_message_part_get_message(GMIME_MESSAGE_PART(object));
        if (nested == nullptr)
            return;
        MailPart part;
        part.fileName = fileNameOf(object);
        part.contentType = "message/rfc822";
        if (depth_ < kMaxNestingDepth)
            part.message = std::make_unique<MailMessage>(readMessage(nested, depth_ + 1));
        else
            part.content = serialized(GMIME_OBJECT(nested));
        message_.parts.push_back(std::move(part));
    }

    void walkLeaf(GMimePart* leaf) {
        GMimeObject* object = GMIME_OBJECT(leaf);
        const std::string type = mimeTypeOf(object);
        if (message_.bodyFormat == BodyFormat::kNone && isInlineText(object, type)) {
            takeBody(leaf, type);
            return;
        }
        MailPart part;
        part.fileName = fileNameOf(object);
        part.contentType = type;
        part.contentId = textOf(g_mime_object_get_content_id(object));
        part.content = decodedContent(leaf);
        part.isTnef = type == "application/ms-tnef" || type == "application/vnd.ms-tnef" ||
                      beginsWith(part.content, kTnefHead);
        part.isMsg = beginsWith(part.content, kOle2Signature);
        message_.parts.push_back(std::move(part));
    }

    void takeBody(GMimePart* leaf, const std::string& type) {
        GMimeObject* object = GMIME_OBJECT(leaf);
        const std::string charset =
            textOf(g_mime_object_get_content_type_parameter(object, "charset"));
        if (type == "text/html") {
            // HTML keeps its bytes, since a <meta> in it names their charset too.
            const uint32_t codePage =
                charset.empty() ? kDefaultCodePage : CodePageOfCharsetLabel(charset);
            if (codePage != 0 || !GMIME_IS_TEXT_PART(leaf)) {
                message_.body = decodedContent(leaf);
                message_.bodyCodePage = codePage != 0 ? codePage : kDefaultCodePage;
            } else {
                // A charset the engine has no code page for, read by GMime; the byte-order
                // mark says so over any <meta>.
                const GString text(g_mime_text_part_get_text(GMIME_TEXT_PART(leaf)));
                message_.body = std::string(kUtf8ByteOrderMark) + textOf(text.get());
                message_.bodyCodePage = kUtf8CodePage;
            }
            message_.bodyFormat = BodyFormat::kHtml;
        } else {
            if (GMIME_IS_TEXT_PART(leaf)) {
                const GString text(g_mime_text_part_get_text(GMIME_TEXT_PART(leaf)));
                message_.body = textOf(text.get());
            } else {
                message_.body = ConvertCodePageToUtf8(decodedContent(leaf), kDefaultCodePage);
            }
            message_.bodyFormat = BodyFormat::kText;
        }
    }

    MailMessage& message_;
    int depth_;
};

// The messages of a file: the whole of an .eml; each of an mbox without its "From " line, a
// message beginning at every "From " line that starts the file or follows a blank line.
std::vector<std::string_view> messagesOf(std::string_view bytes) {
    if (!beginsWith(bytes, "From "))
        return {bytes};
    std::vector<std::string_view> messages;
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t lineEnd = bytes.find('\n', start);
        if (lineEnd == std::string_view::npos)
            break;
        size_t next = lineEnd;
        size_t end = bytes.size();
        for (size_t found = bytes.find("\nFrom ", next); found != std::string_view::npos;
             found = bytes.find("\nFrom ", found + 1)) {
            if (bytes.substr(found - 1, 1) == "\n" ||
                (found >= 2 && bytes.substr(found - 2, 2) == "\n\r")) {
                end = found + 1;
                break;
            }
        }
        messages.push_back(bytes.substr(lineEnd + 1, end - (lineEnd + 1)));
        start = end;
    }
    return messages;
}

// Adds the boundary a header line declares ("boundary=..."), if any.
void noteBoundary(std::string_view line, std::vector<std::string>& boundaries) {
    const std::string lower = LoweredAscii(line);
    const size_t at = lower.find("boundary=");
    if (at == std::string::npos || boundaries.size() >= kMaxBoundaries)
        return;
    std::string_view value = line.substr(at + 9);
    size_t end = 0;
    if (value.starts_with('"')) {
        value.remove_prefix(1);
        end = value.find('"');
    } else {
        end = value.find_first_of("; \t\r\n");
    }
    value = value.substr(0, end);
    if (std::find(boundaries.begin(), boundaries.end(), value) == boundaries.end())
        boundaries.emplace_back(value);
}

bool isBoundaryLine(std::string_view line, const std::vector<std::string>& boundaries) {
    if (!line.starts_with("--"))
        return false;
    if (boundaries.size() >= kMaxBoundaries)
        return true;
    return std::any_of(boundaries.begin(), boundaries.end(), [&](const std::string& boundary) {
        return line.substr(2).starts_with(boundary);
    });
}

// A message's bytes as GMime is to see them: bounded as said at kMaxBoundaryLines. Header
// blocks are the message's own, each after a line of a boundary its header blocks declare,
// and the one after a header that types its part message/*; text (a "-- " above a
// signature) is passed whole.
GByteArray* boundedMessage(std::string_view message) {
    GByteArray* out = g_byte_array_sized_new(static_cast<guint>(message.size()));
    const auto append = [&](std::string_view piece) {
        g_byte_array_append(out, reinterpret_cast<const guint8*>(piece.data()),
                            static_cast<guint>(piece.size()));
    };
    bool inHeader = true;
    bool messageFollows = false;
    int fields = 0;
    size_t fieldBytes = 0;
    int boundaryLines = 0;
    std::vector<std::string> boundaries;
    size_t start = 0;
    while (start < message.size()) {
        size_t end = message.find('\n', start);
        end = end == std::string_view::npos ? message.size() : end + 1;
        const std::string_view line = message.substr(start, end - start);
        start = end;
        const bool blank = line == "\n" || line == "\r\n";
        if (inHeader) {
            std::string name;
            if (blank) {
                inHeader = messageFollows;
                messageFollows = false;
                fields = 0;
                append(line);
            } else if (line.front() == ' ' || line.front() == '\t') {
                fieldBytes += line.size();
                if (fields == 0 || (fields <= kMaxFieldsInBlock && fieldBytes <= kMaxFieldBytes)) {
                    noteBoundary(line, boundaries);
                    append(line);
                }
            } else if (!isFieldLine(line, name)) {
                // No field: GMime passes over it.
                append(line);
            } else {
                ++fields;
                fieldBytes = line.size();
                if (fields > kMaxFieldsInBlock)
                    continue;
                if (name == "content-type") {
                    messageFollows =
                        LoweredAscii(line.substr(0, 64)).find("message/") != std::string::npos;
                    noteBoundary(line.substr(0, kMaxFieldBytes), boundaries);
                }
                if (line.size() > kMaxFieldBytes) {
                    append(line.substr(0, kMaxFieldBytes));
                    append("\r\n");
                } else {
                    append(line);
                }
            }
            continue;
        }
        if (isBoundaryLine(line, boundaries)) {
            if (++boundaryLines > kMaxBoundaryLines)
                break;
            inHeader = true;
            fields = 0;
        }
        append(line);
    }
    return out;
}

MailMessage readMessage(GMimeMessage* message, int depth) {
    MailMessage out;
    out.header = headerOf(message);
    PartWalk(out, depth).walk(g_mime_message_get_mime_part(message), 0);
    return out;
}

}  // namespace

bool LooksLikeMail(const ByteSource& source) {
    std::string head(static_cast<size_t>(std::min<uint64_t>(source.size(), kHeaderPrefix)), '\0');
    if (head.empty() || !source.read(0, head.data(), head.size()))
        return false;
    // Every line up to the first blank one (or the last whole line looked at) is a field or
    // the folded continuation of one, and one of the fields is mail's own; an mbox has its
    // "From " line first, and text that merely begins "From the desk of" has no fields after.
    size_t fieldsStart = 0;
    if (beginsWith(head, "From ")) {
        fieldsStart = head.find('\n');
        if (fieldsStart == std::string::npos)
            return false;
        ++fieldsStart;
    }
    bool knownField = false;
    size_t start = fieldsStart;
    for (size_t end = head.find('\n', start); end != std::string::npos;
         start = end + 1, end = head.find('\n', start)) {
        std::string_view line(head.data() + start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty())
            return knownField;
        if (line.front() == ' ' || line.front() == '\t') {
            if (start == fieldsStart)
                return false;
            continue;
        }
        std::string name;
        if (!isFieldLine(line, name))
            return false;
        knownField = knownField ||
                     std::find(kMailFields.begin(), kMailFields.end(), name) != kMailFields.end();
    }
    return knownField;
}

int ReadMailFile(const ByteSource& source,
                 const std::function<void(const MailMessage&)>& onMessage) {
    initializeGMime();
    const uint64_t size = source.size();
    if (size == 0 || size > G_MAXUINT)
        return 0;
    std::string bytes(static_cast<size_t>(size), '\0');
    if (!source.read(0, bytes.data(), bytes.size()))
        return 0;
    int count = 0;
    for (const std::string_view text : messagesOf(bytes)) {
        // The stream takes the array, which holds the message's bytes once.
        GByteArray* bounded = boundedMessage(text);
        const GObjectPtr<GMimeStream> stream(g_mime_stream_mem_new_with_byte_array(bounded));
        const GObjectPtr<GMimeParser> parser(g_mime_parser_new_with_stream(stream.get()));
        g_mime_parser_set_format(parser.get(), GMIME_FORMAT_MESSAGE);
        const GObjectPtr<GMimeMessage> message(
            g_mime_parser_construct_message(parser.get(), nullptr));
        if (!message)
            continue;
        onMessage(readMessage(message.get(), 0));
        ++count;
    }
    return count;
}

}  // namespace parcelo
