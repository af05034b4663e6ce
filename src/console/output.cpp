// Console and listing output. The listing is only ever appended to. Its text
// is gathered here and handed to the file with the system's write, not through
// the stream's own buffer: after a write that fails (a full disk, a file
// removed under us) a stream would keep its unwritten text and could add it,
// and everything after it, once the disk frees again, behind a cut line.
// Here the first failure is reported once and nothing more goes to the
// listing, so it stays a clean prefix of what the run meant to write.
#include "console/output.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "state.h"

bool WriteWhole(int fd, const char* data, size_t size) {
    while (size > 0) {
        ssize_t n = WriteHook != nullptr ? WriteHook(fd, data, size) : write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

static void ReportListingFailure() {
    if (ListingWriteFailed) return;
    ListingWriteFailed = true;
    ConMessage("Cannot write %s", LstFileName.c_str());
}

// Hands the gathered text to the file; after a failure it is dropped.
static void WriteListingBuffer() {
    size_t size = ListingBuffered;
    ListingBuffered = 0;
    if (size == 0 || ListingFile == nullptr || ListingWriteFailed) return;
    if (!WriteWhole(fileno(ListingFile), ListingBuffer, size)) ReportListingFailure();
}

// Hands the gathered lines to the file and keeps a last line not yet ended
// for the next write, so that a run killed between two writes leaves whole
// lines. A line longer than the whole buffer goes as it is.
static void WriteListingLines() {
    size_t end = ListingBuffered;
    while (end > 0 && ListingBuffer[end - 1] != '\n') --end;
    if (end == 0) {
        WriteListingBuffer();
        return;
    }
    size_t rest = ListingBuffered - end;
    ListingBuffered = end;
    WriteListingBuffer();
    std::memmove(ListingBuffer, ListingBuffer + end, rest);
    ListingBuffered = ListingWriteFailed ? 0 : rest;
}

static void AddToListing(const char* format, va_list args) {
    if (ListingFile == nullptr || ListingWriteFailed) return;
    va_list again;
    va_copy(again, args);
    size_t room = sizeof ListingBuffer - ListingBuffered;
    int n = std::vsnprintf(ListingBuffer + ListingBuffered, room, format, args);
    size_t size = n < 0 ? 0 : static_cast<size_t>(n);
    if (size < room) {
        ListingBuffered += size;
    } else {
        // It did not fit behind what is gathered: the whole lines go first.
        WriteListingLines();
        room = sizeof ListingBuffer - ListingBuffered;
        if (size < room && !ListingWriteFailed) {
            std::vsnprintf(ListingBuffer + ListingBuffered, room, format, again);
            ListingBuffered += size;
            va_end(again);
            return;
        }
        WriteListingBuffer();
        if (size < sizeof ListingBuffer) {
            // After a failure the text is dropped at the next write.
            std::vsnprintf(ListingBuffer, sizeof ListingBuffer, format, again);
            ListingBuffered = size;
        } else if (!ListingWriteFailed) {
            std::string text(size, '\0');
            std::vsnprintf(&text[0], size + 1, format, again);
            if (!WriteWhole(fileno(ListingFile), text.data(), size)) ReportListingFailure();
        }
    }
    va_end(again);
}

void ConPrint(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
}

// The console line holds progress marks and nothing has ended it yet.
static bool MarksOnLine;

static void WriteConsoleLine(const char* format, va_list args) {
    std::vprintf(format, args);
    ConEndLine();
}

void ConLine(const char* format, ...) {
    va_list args;
    va_start(args, format);
    WriteConsoleLine(format, args);
    va_end(args);
}

void ConMessage(const char* format, ...) {
    if (MarksOnLine) ConEndLine();
    va_list args;
    va_start(args, format);
    WriteConsoleLine(format, args);
    va_end(args);
}

void ConMark(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    MarksOnLine = true;
}

void ConEndLine() {
    std::putchar('\n');
    MarksOnLine = false;
}

void ConFlush() { std::fflush(stdout); }

void ListPrint(const char* format, ...) {
    va_list args;
    va_start(args, format);
    AddToListing(format, args);
    va_end(args);
}

void ListLine(const char* format, ...) {
    va_list args;
    va_start(args, format);
    AddToListing(format, args);
    va_end(args);
    ListEndLine();
}

void ListEndLine() { ListPrint("\r\n"); }

void FlushListing() { WriteListingBuffer(); }

void CloseListing() {
    ReleaseListing();
    if (ListingFile == nullptr) return;
    WriteListingBuffer();
    if (std::fclose(ListingFile) != 0) ReportListingFailure();
    ListingFile = nullptr;
}

void HoldListing() {
    if (ListingFile == nullptr || HeldListingFile != nullptr) return;
    FILE* held = std::tmpfile();
    // Without a temporary file the writes simply go to the listing.
    if (held == nullptr) return;
    WriteListingBuffer();  // what was written before belongs to the listing
    HeldListingFile = ListingFile;
    ListingFile = held;
}

void ReleaseListing() {
    if (HeldListingFile == nullptr) return;
    WriteListingBuffer();
    FILE* held = ListingFile;
    ListingFile = HeldListingFile;
    HeldListingFile = nullptr;
    std::rewind(held);
    char buffer[8192];
    size_t n;
    while (!ListingWriteFailed && (n = std::fread(buffer, 1, sizeof buffer, held)) > 0) {
        if (!WriteWhole(fileno(ListingFile), buffer, n)) ReportListingFailure();
    }
    if (std::ferror(held) != 0) ReportListingFailure();
    std::fclose(held);
}

void DropListing() {
    if (HeldListingFile == nullptr) return;
    ListingBuffered = 0;
    std::fclose(ListingFile);
    ListingFile = HeldListingFile;
    HeldListingFile = nullptr;
}
