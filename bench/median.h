#pragma once

#include <QElapsedTimer>

#include <algorithm>
#include <vector>

// The median wall time of `runs` calls of `f`, in milliseconds.
template <typename F> double medianMs(int runs, F&& f)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}
