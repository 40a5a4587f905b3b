#include <benchmark/benchmark.h>

#ifdef KENVO_BENCH_WITH_RENDER
#include <QGuiApplication>
#endif

int main(int argc, char** argv) {
#ifdef KENVO_BENCH_WITH_RENDER
    // Drawing text on an image needs the GUI library's fonts, not a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
#endif
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
