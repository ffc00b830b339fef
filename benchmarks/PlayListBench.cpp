// What the play list's long operations cost on a full list of 32767 entries: sorting the
// entries, and filling the list box with them (the play-list window's load copy, and
// the last step of a sort).
//   build/benchmarks/playlist_bench

#include "playlist/ListBox.h"
#include "playlist/SortStrings.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

namespace {

// Full paths as a real list holds them: a few folders, Chinese and Latin names, in an
// order that is none.
QStringList fullList()
{
    QStringList entries;
    for (int i = 0; i < playlist::ListBox::MaxCount; ++i)
        entries << QStringLiteral("/home/用户/Flash 动画/合集 %1/movie %2.swf")
                       .arg(i % 37)
                       .arg(i * 7919 % 100003);
    std::mt19937 random(12);
    std::shuffle(entries.begin(), entries.end(), random);
    return entries;
}

void SortStrings_Shuffled(benchmark::State& state)
{
    const QStringList entries = fullList();
    for (auto _ : state) {
        QStringList texts = entries;
        mdlCommonFunctions::SortStrings(texts);
        benchmark::DoNotOptimize(texts.constData());
    }
    state.SetItemsProcessed(state.iterations() * entries.size());
}
BENCHMARK(SortStrings_Shuffled)->Unit(benchmark::kMillisecond);

void SortStrings_Reversed(benchmark::State& state)
{
    QStringList entries = fullList();
    std::sort(entries.begin(), entries.end(), std::greater<>());
    for (auto _ : state) {
        QStringList texts = entries;
        mdlCommonFunctions::SortStrings(texts);
        benchmark::DoNotOptimize(texts.constData());
    }
}
BENCHMARK(SortStrings_Reversed)->Unit(benchmark::kMillisecond);

// What SortItem does: the entries out of the list box, sorted, and back in.
void SortItem_FullListBox(benchmark::State& state)
{
    const QStringList entries = fullList();
    playlist::ListBox list(nullptr);
    for (auto _ : state) {
        state.PauseTiming();
        list.Clear();
        list.AddItems(entries);
        state.ResumeTiming();
        QStringList texts = list.entries();
        mdlCommonFunctions::SortStrings(texts);
        list.Clear();
        list.AddItems(texts);
    }
}
BENCHMARK(SortItem_FullListBox)->Unit(benchmark::kMillisecond);

// The play-list window's load: the hidden store copied into an empty list box.
void LoadCopy_FullListBox(benchmark::State& state)
{
    const QStringList entries = fullList();
    playlist::ListBox list(nullptr);
    for (auto _ : state) {
        state.PauseTiming();
        list.Clear();
        state.ResumeTiming();
        list.AddItems(entries);
    }
}
BENCHMARK(LoadCopy_FullListBox)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
