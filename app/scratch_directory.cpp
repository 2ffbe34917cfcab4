#include "scratch_directory.h"

#include <sys/stat.h>

#include <QRandomGenerator>

#include <cerrno>
#include <cstdlib>

namespace parcelo {

std::string TemporaryDirectory() {
    const char* value = std::getenv("TMPDIR");
    struct stat status {};
    if (value != nullptr && value[0] == '/' && ::stat(value, &status) == 0 &&
        S_ISDIR(status.st_mode)) {
        std::string folder = value;
        while (folder.size() > 1 && folder.back() == '/')
            folder.pop_back();
        return folder;
    }
    return "/tmp";
}

int MakeScratchDirectory(const std::string& parent, std::string& path) {
    const int prefix = static_cast<int>(QRandomGenerator::global()->bounded(32768));
    std::string name = parent;
    if (name.empty() || name.back() != '/')
        name += '/';
    name += std::to_string(prefix) + "XXXXXX";
    if (::mkdtemp(name.data()) == nullptr)  // mode 0700
        return errno != 0 ? errno : EIO;
    path = name + '/';
    return 0;
}

}  // namespace parcelo
