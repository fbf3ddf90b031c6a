// What the in-window log costs per recorded reading: resident memory added
// by 100 000 entries, alone and with the list view showing it, and the time
// of one AddItem.
//
// Resident size is a whole-process figure: run these in a process of their
// own (--benchmark_filter=List1RowsMemory) so nothing freed by an earlier
// benchmark is reused and hides the cost.

#include "list1_rows.h"
#include "sample_entries.h"

#include <QApplication>
#include <QListView>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <malloc.h>
#include <unistd.h>

namespace {

constexpr int kEntries = 100'000;

long residentBytes() {
    long pages = 0, resident = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return resident * ::sysconf(_SC_PAGESIZE);
}

void BM_List1Memory(benchmark::State& state) {
    sampleEntry(0);  // the C library loads its locale data on first use
    for (auto _ : state) {
        ::malloc_trim(0);
        const long before = residentBytes();
        app::RecordedList list;
        for (int i = 0; i < kEntries; ++i)
            list.AddItem(sampleEntry(i));
        const long after = residentBytes();
        state.counters["entries"] = kEntries;
        state.counters["bytes_per_entry"] = double(after - before) / kEntries;
        if (list.ListCount() != kEntries)
            state.SkipWithError("entries went missing");
    }
}
BENCHMARK(BM_List1Memory)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_List1MemoryWithView(benchmark::State& state) {
    sampleEntry(0);
    for (auto _ : state) {
        app::RecordedList list;
        qtui::List1Rows rows;
        QListView view;
        view.setUniformItemSizes(true);
        view.setModel(&rows);
        view.resize(121, 82);
        view.show();
        QApplication::processEvents();
        ::malloc_trim(0);
        const long before = residentBytes();
        for (int i = 0; i < kEntries; ++i) {
            list.AddItem(sampleEntry(i));
            rows.list1Grew(list, i);
            // The program returns to the event loop between entries; laying
            // out after every one of 100 000 would only measure the layout.
            if (i % 1000 == 999)
                QApplication::processEvents();
        }
        QApplication::processEvents();
        const long after = residentBytes();
        state.counters["entries"] = kEntries;
        state.counters["bytes_per_entry"] = double(after - before) / kEntries;
    }
}
BENCHMARK(BM_List1MemoryWithView)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_List1AddItem(benchmark::State& state) {
    app::RecordedList list;
    qtui::List1Rows rows;
    const std::string entry = sampleEntry(600);
    for (auto _ : state) {
        list.AddItem(entry);
        rows.list1Grew(list, list.ListCount() - 1);
    }
}
BENCHMARK(BM_List1AddItem);

} // namespace
