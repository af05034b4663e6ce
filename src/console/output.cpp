// Console and listing output. The listing is only ever appended to; a write
// that fails (a full disk, a file removed under us) is reported once and
// remembered, so that the run can still end in order but not with success.
#include "console/output.h"

#include <cstdio>

#include "driver/state.h"

static void CheckListing() {
    if (ListingFile != nullptr && ferror(ListingFile) && !ListingWriteFailed) {
        ListingWriteFailed = true;
        std::printf("Cannot write %s\n", LstFileName.c_str());
    }
}

void ConPrint(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
}

void ConLine(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::putchar('\n');
}

void ConEndLine() { std::putchar('\n'); }

void ConFlush() { std::fflush(stdout); }

void ListPrint(const char* format, ...) {
    if (ListingFile == nullptr) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(ListingFile, format, args);
    va_end(args);
}

void ListLine(const char* format, ...) {
    if (ListingFile == nullptr) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(ListingFile, format, args);
    va_end(args);
    std::fputs("\r\n", ListingFile);
}

void ListEndLine() {
    if (ListingFile == nullptr) return;
    std::fputs("\r\n", ListingFile);
}

void FlushListing() {
    if (ListingFile == nullptr) return;
    std::fflush(ListingFile);
    CheckListing();
}

void CloseListing() {
    ReleaseListing();
    if (ListingFile == nullptr) return;
    std::fflush(ListingFile);
    CheckListing();
    if (std::fclose(ListingFile) != 0 && !ListingWriteFailed) {
        ListingWriteFailed = true;
        std::printf("Cannot write %s\n", LstFileName.c_str());
    }
    ListingFile = nullptr;
}

void HoldListing() {
    if (ListingFile == nullptr || HeldListingFile != nullptr) return;
    FILE* held = std::tmpfile();
    // Without a temporary file the writes simply go to the listing.
    if (held == nullptr) return;
    HeldListingFile = ListingFile;
    ListingFile = held;
}

void ReleaseListing() {
    if (HeldListingFile == nullptr) return;
    FILE* held = ListingFile;
    ListingFile = HeldListingFile;
    HeldListingFile = nullptr;
    std::fflush(held);
    bool failed = std::ferror(held) != 0;
    std::rewind(held);
    char buffer[8192];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, held)) > 0) {
        if (std::fwrite(buffer, 1, n, ListingFile) != n) break;
    }
    failed = failed || std::ferror(held) != 0;
    std::fclose(held);
    if (failed && !ListingWriteFailed) {
        ListingWriteFailed = true;
        std::printf("Cannot write %s\n", LstFileName.c_str());
    }
    FlushListing();
}

void DropListing() {
    if (HeldListingFile == nullptr) return;
    std::fclose(ListingFile);
    ListingFile = HeldListingFile;
    HeldListingFile = nullptr;
}
