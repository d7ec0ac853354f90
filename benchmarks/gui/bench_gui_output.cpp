// The run window's output view with big outputs: what one resize step costs
// with 1,000,000 values shown, and the memory the view holds at its bound.
// Offscreen unless QT_QPA_PLATFORM says otherwise (xcb under Xvfb).
#include "windows/outputview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace {

double ResidentMb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1048576.0;
}

void Fill(TOutputView& view, int count) {
    for (int i = 0; i < count; ++i)
        view.Append(static_cast<uint32_t>(i) * 7919u - 500000u);
}

// Worst of `steps` resize steps of 10 px, each with its paint.
double ResizeStep(TOutputView& view, int steps) {
    double worst = 0;
    for (int i = 0; i < steps; ++i) {
        QElapsedTimer timer;
        timer.start();
        view.resize(view.width() + (i % 2 ? -10 : 10), view.height());
        view.repaint();
        QApplication::processEvents();
        worst = std::max(worst, timer.nsecsElapsed() / 1e6);
    }
    return worst;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::printf("Output view benchmarks (platform %s)\n", qPrintable(QApplication::platformName()));
    {
        TOutputView view;
        view.resize(274, 200);
        view.show();
        (void)QTest::qWaitForWindowExposed(&view);
        Fill(view, 1000000);
        view.Flush();
        QApplication::processEvents();
        std::printf("resize step with 1,000,000 values: worst of 6 %.1f ms\n", ResizeStep(view, 6));
    }
    const double before = ResidentMb();
    TOutputView view;
    view.resize(274, 200);
    view.show();
    (void)QTest::qWaitForWindowExposed(&view);
    int values = 0;
    while (view.Size() < view.Capacity()) {
        view.Append(static_cast<uint32_t>(values) * 7919u - 500000u);
        ++values;
    }
    view.Flush();
    QApplication::processEvents();
    std::printf("at the output bound (%d values, %lld characters): %.0f MB resident more\n", values,
                static_cast<long long>(view.Size()), ResidentMb() - before);
    std::printf("resize step at the bound: worst of 4 %.1f ms\n", ResizeStep(view, 4));
    return 0;
}
