// The links of a body that are ever followed.
#pragma once

class QUrl;

namespace parcelo {

// A body can link to anything: local files, scripts, other programs' schemes. Only web and
// mail links, which a browser or mail program opens safely, are followed or exported.
bool IsOpenableLink(const QUrl& url);

}  // namespace parcelo
