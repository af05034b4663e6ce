// Repetitions on several threads with the bytes of one. A repetition's search
// depends only on its start, and the starts come from one generator that the
// search never touches; so the main thread draws the starts in order, worker
// threads search them, each on its own copy of the search state, and the main
// thread takes the results back in order and records them exactly as the
// single-threaded loop does. The results of repetitions searched ahead of a
// Ctrl-C are dropped with the series.
//
// Starts and results pass through a ring of slots, twice as many as there are
// workers: the workers never wait for a start while the main thread records,
// and the look-ahead stays bounded. A slot is the main thread's from drawing
// until NextDraw passes it, a worker's from taking it until it is marked
// searched, and the main thread's again until it is recorded and drawn anew.
#include "search/threaded_series.h"

#include <pthread.h>
#include <signal.h>

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <vector>
#include <thread>

#include "console/stop.h"
#include "criterion/incremental_error.h"
#include "search/accepted_partitions.h"
#include "search/local_optimization.h"
#include "search/random_starts.h"
#include "search/series_clock.h"
#include "state.h"
#include "state_memory.h"

// A worker's stack holds its copy of the thread-local search state (under
// a megabyte: glibc places static TLS in the thread's stack area; the tables
// that grow with the network are allocated apart) besides the search's
// frames, which need little.
static const size_t WorkerStackBytes = size_t{16} << 20;

constexpr int MaxSlots = 2 * MaxSearchThreads;

// One repetition in flight: its start, then the local optimum found from it.
struct SearchSlot {
    int32_t Rep;
    bool Searched;                          // the result below is complete
    std::vector<uint8_t> Partition[2];      // by side: start, then the accepted partition
    int32_t Sizes[2][MaxModelSize + 1];
    double Error;                           // criterion of the local optimum
};

static SearchSlot Slots[MaxSlots];
static int32_t NumSlots;
static pthread_t Workers[MaxSearchThreads];
static int32_t NumWorkers;

// Guarded by SeriesLock.
static std::mutex SeriesLock;
static std::condition_variable StartDrawn;     // a start waits, or the workers are to stop
static std::condition_variable ResultSearched;  // a slot was marked searched
static int32_t NextDraw;    // first repetition whose start is not drawn yet
static int32_t NextSearch;  // first drawn repetition no worker has taken
static bool StopWorkers;

static int32_t ThreadsWanted() {
    int32_t n = SearchThreads;
    if (n == 0) n = static_cast<int32_t>(std::thread::hardware_concurrency());
    if (n < 1) n = 1;
    return n > MaxSearchThreads ? MaxSearchThreads : n;
}

bool SeriesRunsOnThreads() {
    return RunMode == RandomRun && ListLevel == ShortListing && !AskSave && ThreadsWanted() > 1;
}

static SearchSlot& SlotOf(int32_t rep) { return Slots[rep % NumSlots]; }

// Searches the start of the slot on this thread's search state.
static void SearchSlotStart(SearchSlot& slot) {
    for (int s = RowSide; s <= ColSide; ++s) {
        std::memcpy(Partition[s], slot.Partition[s].data(), slot.Partition[s].size());
        std::memcpy(ClusterSize[s], slot.Sizes[s], sizeof ClusterSize[s]);
    }
    CopyWorkingToAccepted();
    SearchLocalOptimum(slot.Rep);
    for (int s = RowSide; s <= ColSide; ++s) {
        std::memcpy(slot.Partition[s].data(), AcceptedPartition[s], slot.Partition[s].size());
        std::memcpy(slot.Sizes[s], AcceptedClusterSize[s], sizeof slot.Sizes[s]);
    }
    slot.Error = CurrentError;
}

static void* SearchWorker(void*) {
    SizeSearchState();
    std::unique_lock<std::mutex> lock(SeriesLock);
    for (;;) {
        StartDrawn.wait(lock, [] { return StopWorkers || NextSearch < NextDraw; });
        if (StopWorkers) {
            lock.unlock();
            ReleaseIncrementalTables();
            ReleaseSearchState();
            return nullptr;
        }
        SearchSlot& slot = SlotOf(NextSearch++);
        lock.unlock();
        SearchSlotStart(slot);
        lock.lock();
        slot.Searched = true;
        ResultSearched.notify_all();
    }
}

// Starts up to n workers with Ctrl-C blocked, so that it reaches the main thread.
static void StartWorkers(int32_t n) {
    sigset_t interrupt, previous;
    sigemptyset(&interrupt);
    sigaddset(&interrupt, SIGINT);
    pthread_sigmask(SIG_BLOCK, &interrupt, &previous);
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, WorkerStackBytes);
    NumWorkers = 0;
    for (int32_t i = 0; i < n; ++i) {
        if (pthread_create(&Workers[NumWorkers], &attributes, SearchWorker, nullptr) != 0) break;
        ++NumWorkers;
    }
    pthread_attr_destroy(&attributes);
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

static void StopAllWorkers() {
    {
        std::lock_guard<std::mutex> guard(SeriesLock);
        StopWorkers = true;
    }
    StartDrawn.notify_all();
    for (int32_t i = 0; i < NumWorkers; ++i) pthread_join(Workers[i], nullptr);
    NumWorkers = 0;
}

// Draws the starts of the repetitions up to last that fit in the ring ahead of rep.
static void DrawAhead(int32_t rep, int32_t last) {
    // In 64 bits: a series may run up to the largest repetition number.
    int64_t ahead = int64_t{rep} + NumSlots - 1;
    int32_t limit = ahead < last ? static_cast<int32_t>(ahead) : last;
    int32_t from;
    {
        std::lock_guard<std::mutex> guard(SeriesLock);
        from = NextDraw;
    }
    if (from > limit) return;
    // The slots from..limit are free: their repetitions were recorded.
    for (int32_t d = from; d <= limit; ++d) {
        SearchSlot& slot = SlotOf(d);
        DrawRandomStarts();
        for (int s = RowSide; s <= ColSide; ++s) {
            std::memcpy(slot.Partition[s].data(), Partition[s], slot.Partition[s].size());
            std::memcpy(slot.Sizes[s], ClusterSize[s], sizeof slot.Sizes[s]);
        }
        slot.Rep = d;
        slot.Searched = false;
    }
    {
        std::lock_guard<std::mutex> guard(SeriesLock);
        NextDraw = limit + 1;
    }
    StartDrawn.notify_all();
}

// The main thread's search state := the result of the slot, as the search
// leaves it: accepted and working pair, error, listing orders.
// The block matrices stay as they are: whatever prints them evaluates first.
static void AdoptResult(const SearchSlot& slot) {
    for (int s = RowSide; s <= ColSide; ++s) {
        std::memcpy(AcceptedPartition[s], slot.Partition[s].data(), slot.Partition[s].size());
        std::memcpy(AcceptedClusterSize[s], slot.Sizes[s], sizeof AcceptedClusterSize[s]);
        BuildListingOrder(AcceptedPartition[s], ListingOrder[s], SideClusters[s], SideUnits[s]);
    }
    CurrentError = slot.Error;
    CopyAcceptedToWorking();
}

bool RunThreadedSeries(void (*recordRepetition)()) {
    int32_t first = RepCount;
    int32_t last = Max(RepLimit, RepCount);
    int32_t threads = ThreadsWanted();
    ListClusters = false;
    NumSlots = 2 * threads;
    for (int32_t k = 0; k < NumSlots; ++k)
        for (int s = RowSide; s <= ColSide; ++s) Slots[k].Partition[s].assign(static_cast<size_t>(SideUnits[s]) + 1, 0);
    NextDraw = NextSearch = first;
    StopWorkers = false;
    StartWorkers(threads);
    if (NumWorkers == 0) return false;
    StopBackgroundSearch = StopAllWorkers;
    for (int32_t rep = first; rep <= last; ++rep) {
        DrawAhead(rep, last);
        SearchSlot& slot = SlotOf(rep);
        {
            std::unique_lock<std::mutex> lock(SeriesLock);
            ResultSearched.wait(lock, [&slot] { return slot.Searched; });
        }
        RepCount = rep;
        AdoptResult(slot);
        recordRepetition();
        if (SeriesInterrupted || EndSeriesOnTime()) break;
    }
    StopBackgroundSearch = nullptr;
    StopAllWorkers();
    return true;
}
