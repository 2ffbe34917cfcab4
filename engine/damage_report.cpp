#include "damage_report.h"

#include <cstdint>

namespace parcelo {

namespace {

// Fewer bytes than this after the last attribute cannot have held one (header and
// checksum): they are the padding some writers leave, not lost data.
constexpr uint64_t kSmallestAttribute = 11;

void append(std::string& report, const std::string& part) {
    if (!report.empty())
        report += "; ";
    report += part;
}

}  // namespace

std::string DamageReport(const ExtractionRun& run) {
    std::string report;
    if (run.cutShortStreams > 0)
        append(report, "the stream breaks off inside an attribute, which was skipped");
    if (run.unreadTail >= kSmallestAttribute) {
        append(report, std::to_string(run.unreadTail) +
                           " bytes after the last attribute begin none and were skipped");
    }
    if (run.damagedBlocks > 0) {
        append(report,
               std::to_string(run.damagedBlocks) +
                   (run.damagedBlocks == 1 ? " property block is" : " property blocks are") +
                   " damaged: the properties from the first unreadable one on were skipped");
    }
    return report;
}

}  // namespace parcelo
