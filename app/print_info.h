// The record of one print job: the printer it prints on, the pages asked for and the page
// being printed. Made when the job starts and released when it ends.
#pragma once

#include <QPrinter>

#include <memory>
#include <vector>

namespace parcelo {

struct PrintInfo {
    // The page count before the pages have been counted.
    static constexpr unsigned kUnknownPageCount = 0xFFFF;

    struct PageSpan {
        unsigned from;
        unsigned to;
    };

    // The printer with the settings chosen for this job; released with the record.
    std::unique_ptr<QPrinter> printer;
    unsigned minPage = 1;
    unsigned maxPage = kUnknownPageCount;
    // The pages asked for, in order: one span for all pages or a range, more when a list of
    // ranges was given. Each is brought within minPage .. maxPage when the sheets are printed.
    std::vector<PageSpan> pages;
    unsigned currentPage = 1;
    bool continuePrinting = true;
};

}  // namespace parcelo
