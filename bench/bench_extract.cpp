// Extraction speed and memory on two generated streams, measured against cp in the same run:
//   (a) 200 MB with 20 attachments of 10 MB: at most 2.5x the wall time of cp, peak RSS at
//       most 1.2x the file size;
//   (b) 2,000 small attachments and a 5 MB RTF body: under 1 s.
// Usage: bench_extract PARCELO_EXTRACT [WORK_DIR]
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "tnef_builder.h"

using namespace parcelo::testing;
namespace fs = std::filesystem;

namespace {

struct Measure {
    double seconds;
    long maxRssKb;
};

// Runs a program to completion; its wall time and peak resident set.
Measure runProgram(const std::vector<std::string>& argv) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    wait4(pid, &status, 0, &usage);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed\n", argv[0].c_str());
        exit(1);
    }
    return {seconds, usage.ru_maxrss};
}

std::string randomBytes(size_t size, unsigned seed) {
    std::mt19937_64 random(seed);
    std::string bytes(size, '\0');
    for (size_t i = 0; i + 8 <= size; i += 8) {
        const uint64_t v = random();
        std::memcpy(bytes.data() + i, &v, 8);
    }
    return bytes;
}

void writeStream(const fs::path& path, const std::string& stream) {
    std::ofstream(path, std::ios::binary).write(stream.data(), static_cast<std::streamsize>(stream.size()));
}

struct Result {
    Measure cp;
    Measure extract;
};

Result measure(const std::string& extract, const fs::path& stream, const fs::path& work, int rounds) {
    Result best{{1e9, 0}, {1e9, 0}};
    for (int round = 0; round < rounds; ++round) {
        const fs::path copy = work / "copy.dat";
        const fs::path out = work / "out";
        fs::remove_all(out);
        fs::remove(copy);
        const Measure cp = runProgram({"/bin/cp", stream.string(), copy.string()});
        const Measure ex = runProgram({extract, "-o", out.string(), stream.string()});
        best.cp.seconds = std::min(best.cp.seconds, cp.seconds);
        best.extract.seconds = std::min(best.extract.seconds, ex.seconds);
        best.extract.maxRssKb = std::max(best.extract.maxRssKb, ex.maxRssKb);
    }
    fs::remove_all(work / "out");
    fs::remove(work / "copy.dat");
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_extract PARCELO_EXTRACT [WORK_DIR]\n");
        return 2;
    }
    const std::string extract = fs::absolute(argv[1]).string();
    std::string pattern = (argc > 2 ? fs::path(argv[2]) : fs::temp_directory_path()).string() +
                          "/parcelo-bench-XXXXXX";
    if (!mkdtemp(pattern.data())) return 1;
    const fs::path work = pattern;

    {
        TnefBuilder big;
        big.messageClass("IPM.Microsoft Mail.Note").subject("Twenty large attachments");
        for (int i = 0; i < 20; ++i) {
            big.attach("attachment" + std::to_string(i) + ".bin", randomBytes(10 * 1024 * 1024, i));
        }
        writeStream(work / "large.dat", big.bytes());
    }
    {
        std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}";
        while (rtf.size() < 5 * 1024 * 1024) rtf += "\\pard Some body text of a long message\\par\r\n";
        rtf += "}";
        TnefBuilder many;
        many.messageClass("IPM.Microsoft Mail.Note")
            .subject("Many small attachments")
            .messageProps(PropertyList().binary(0x1009, compressRtf(rtf)));
        for (int i = 0; i < 2000; ++i) {
            many.attach("file" + std::to_string(i) + ".txt", randomBytes(2048, 100 + i),
                        PropertyList().string8(0x3707, "small file " + std::to_string(i) + ".txt"));
        }
        writeStream(work / "many.dat", many.bytes());
    }

    std::printf("%-34s %9s %9s %9s %9s %11s %9s\n", "stream", "MB", "cp s", "extract s", "MB/s",
                "ratio to cp", "RSS/size");
    for (const char* name : {"large.dat", "many.dat"}) {
        const fs::path stream = work / name;
        const double mb = static_cast<double>(fs::file_size(stream)) / (1024 * 1024);
        const Result r = measure(extract, stream, work, 5);
        std::printf("%-34s %9.1f %9.3f %9.3f %9.0f %11.2f %9.2f\n",
                    name == std::string("large.dat") ? "(a) 20 x 10 MB attachments"
                                                     : "(b) 2,000 attachments + 5 MB RTF",
                    mb, r.cp.seconds, r.extract.seconds, mb / r.extract.seconds,
                    r.extract.seconds / r.cp.seconds, (r.extract.maxRssKb / 1024.0) / mb);
    }
    fs::remove_all(work);
    return 0;
}
