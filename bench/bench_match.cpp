// Times the Match walk on two lists of 100,000 lines each, half of the names shared and a
// quarter of the shared ones newer on one side. Prints the median of several warm runs.
#include "match/match.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace dyadix;

namespace {

std::vector<PaneEntry> makeList(int count, int side)
{
    std::vector<PaneEntry> entries;
    entries.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        // Even numbers are shared; odd numbers belong to one side only.
        const bool shared = i % 2 == 0;
        const QString name = shared ? QStringLiteral("Shared file %1.dat").arg(i, 6, 10, QLatin1Char('0'))
                                    : QStringLiteral("side%1 file %2.dat").arg(side).arg(i, 6, 10, QLatin1Char('0'));
        const bool newer = shared && side == 1 && i % 8 == 0;
        entries.push_back(PaneEntry::listed(name, newer ? QStringLiteral("2024/06/01 12:00")
                                                        : QStringLiteral("2024/01/01 08:00"),
                                            1000 + i));
    }
    return entries;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    constexpr int Lines = 100000;
    const std::vector<PaneEntry> left = makeList(Lines, 1);
    const std::vector<PaneEntry> right = makeList(Lines, 2);
    std::vector<double> seconds;
    MatchCounts counts;
    for (int run = 0; run < 7; ++run) {
        FileListModel leftList, rightList;
        leftList.addItems(left);
        rightList.addItems(right);
        const auto start = std::chrono::steady_clock::now();
        counts = matchLists(leftList, rightList, MarkNewer::On);
        seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(seconds.begin(), seconds.end());
    std::printf("match walk, 2 x %d lines (%lld pairs, %lld + %lld one-sided): median %.3f s\n", Lines,
                static_cast<long long>(counts.pairs), static_cast<long long>(counts.onlyLeft),
                static_cast<long long>(counts.onlyRight), seconds[seconds.size() / 2]);
    return 0;
}
