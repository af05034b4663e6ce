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
    if (ListingFile == nullptr) return;
    std::fflush(ListingFile);
    CheckListing();
    if (std::fclose(ListingFile) != 0 && !ListingWriteFailed) {
        ListingWriteFailed = true;
        std::printf("Cannot write %s\n", LstFileName.c_str());
    }
    ListingFile = nullptr;
}
